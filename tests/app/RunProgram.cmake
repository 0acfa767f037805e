# Starts the built program under the offscreen platform with the probe
# library, in a home folder of its own, and checks what the probe saw: the
# window, its pages and the hidden list dialog; then starts it again after
# the first run turned to the whois page, which the second run must show.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
function(run_program page output)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LD_PRELOAD=${PROBE} HOME=${WORK}
            XDG_DATA_HOME=${WORK}/data XDG_CONFIG_HOME=${WORK}/config
            CORVINA_PROBE_SET_PAGE=${page} ${PROGRAM}
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE rc
    TIMEOUT 40)
  message("${out}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "The program ended with ${rc}: ${err}")
  endif()
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

run_program(3 out)
set(expected "visible=1\ntitle=Corvina\npage=Adapters\npage=&Users\npage=Trace route\npage=WhoIs\npage=HTTP query\ncurrent=0\n")
string(FIND "${out}" "${expected}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "The main window was not as expected")
endif()
string(FIND "${out}" "whoisList visible=0" hidden)
if(hidden EQUAL -1)
  message(FATAL_ERROR "The whois list dialog is missing or shown")
endif()

run_program(1 again)
string(FIND "${again}" "current=3" restored)
if(restored EQUAL -1)
  message(FATAL_ERROR "The second start did not show the page the first one closed on")
endif()
