# Starts the built program under the offscreen platform with the probe
# library, in a home folder of its own, and checks what the probe saw.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LD_PRELOAD=${PROBE} HOME=${WORK}
          XDG_DATA_HOME=${WORK}/data XDG_CONFIG_HOME=${WORK}/config ${PROGRAM}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc
  TIMEOUT 40)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "The program ended with ${rc}: ${err}")
endif()
set(expected "visible=1\ntitle=Corvina\npage=Adapters\npage=&Users\npage=Trace route\npage=WhoIs\npage=HTTP query\n")
string(FIND "${out}" "${expected}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "The main window was not as expected")
endif()
string(FIND "${out}" "whoisList visible=0" hidden)
if(hidden EQUAL -1)
  message(FATAL_ERROR "The whois list dialog is missing or shown")
endif()
