#include "brmConfig.h"

#include <algorithm>

#include "brmRegTools.h"
#include "brmRegistry.h"
#include "utMulticonfigRead.h"
#include "utStrings.h"

TBRMConfigManager* GConfigManager = nullptr;

std::string ProductNameFromProgramFile(const std::string& path) {
  std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  if (name.empty()) return name;
  return UpperCaseAZ(name.substr(0, 1)) + LowerCaseAZ(name.substr(1));
}

void TBRMConfigManager::SetProductName(const std::string& Value) {
  if (Value == productName_) return;
  productName_ = Value;
  NotifyUpdateHandlers();
}

void TBRMConfigManager::RegisterConfigUpdateHandler(TOnConfigUpdatedEvent Handler) {
  FUpdateHandlers.push_back(std::move(Handler));
}

void TBRMConfigManager::NotifyUpdateHandlers() {
  for (const auto& handler : FUpdateHandlers)
    if (handler) handler();
}

std::string TBRMConfigManager::GetRegistryBasePath() const {
  return "\\Software\\" + CompanyName + "\\" + productName_ + "\\";
}

std::string TBRMConfigManager::GetRegistryFormPath(const TConfigForm& Form) const {
  return GetRegistryBasePath() + WindowPositionPath + Form.Name();
}

void TBRMConfigManager::SetRootKeyArray(std::array<HKEY, 2>& Keys) const {
  Keys = Restrictive ? std::array<HKEY, 2>{HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}
                     : std::array<HKEY, 2>{HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
}

std::vector<HKEY> TBRMConfigManager::RootKeys() const {
  std::array<HKEY, 2> keys{};
  SetRootKeyArray(keys);
  return {keys.begin(), keys.end()};
}

bool TBRMConfigManager::ReadInteger(const std::string& ValueName, int32_t& ValueData) {
  return ReadInteger("", ValueName, ValueData);
}

bool TBRMConfigManager::ReadInteger(const std::string& Path, const std::string& ValueName,
                                    int32_t& ValueData) {
  return utMultiRegReadSingleInteger(RootKeys(), {GetRegistryBasePath() + Path}, ValueName,
                                     ValueData);
}

bool TBRMConfigManager::ReadString(const std::string& ValueName, std::string& ValueData) {
  return ReadString("", ValueName, ValueData);
}

bool TBRMConfigManager::ReadString(const std::string& Path, const std::string& ValueName,
                                   std::string& ValueData) {
  return utMultiRegReadSingleString(RootKeys(), {GetRegistryBasePath() + Path}, ValueName,
                                    ValueData);
}

void TBRMConfigManager::WriteInteger(const std::string& ValueName, int32_t ValueData, bool Global) {
  WriteInteger("", ValueName, ValueData, Global);
}

void TBRMConfigManager::WriteInteger(const std::string& Path, const std::string& ValueName,
                                     int32_t ValueData, bool Global) {
  utRegWriteSingleInteger(Global ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                          GetRegistryBasePath() + Path, ValueName, ValueData, 32);
}

void TBRMConfigManager::WriteString(const std::string& ValueName, const std::string& ValueData,
                                    bool Global) {
  WriteString("", ValueName, ValueData, Global);
}

void TBRMConfigManager::WriteString(const std::string& Path, const std::string& ValueName,
                                    const std::string& ValueData, bool Global) {
  utRegWriteSingleString(Global ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                         GetRegistryBasePath() + Path, ValueName, ValueData, 32);
}

bool TBRMConfigManager::ReadWindowPosition(TConfigForm& Form) {
  const std::vector<HKEY> roots = RootKeys();
  const std::vector<std::string> paths{GetRegistryFormPath(Form)};
  bool result = true;
  const struct {
    const char* name;
    void (TConfigForm::*apply)(int32_t);
  } values[] = {{"Left", &TConfigForm::SetLeft},
                {"Top", &TConfigForm::SetTop},
                {"Width", &TConfigForm::SetWidth},
                {"Height", &TConfigForm::SetHeight},
                {"WindowState", &TConfigForm::SetWindowState}};
  for (const auto& v : values) {
    int32_t data = 0;
    if (!utMultiRegReadSingleInteger(roots, paths, v.name, data)) {
      result = false;
      continue;
    }
    (Form.*v.apply)(std::string_view(v.name) == "WindowState" ? (data & 0xFF) : data);
  }
  Form.PositionRestored();
  return result;
}

bool TBRMConfigManager::WriteWindowPosition(TConfigForm& Form, bool Global) {
  TRegistry reg;
  reg.SetRootKey(Global ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
  if (!reg.OpenKey(GetRegistryFormPath(Form), true)) return false;
  try {
    // A maximized window keeps the normal bounds stored before.
    if (Form.WindowState() != 2) {
      reg.WriteInteger("Left", Form.Left());
      reg.WriteInteger("Top", Form.Top());
      reg.WriteInteger("Width", Form.Width());
      reg.WriteInteger("Height", Form.Height());
    }
    reg.WriteInteger("WindowState", Form.WindowState());
    reg.CloseKey();
    return true;
  } catch (const std::exception&) {
    reg.CloseKey();
    return Global ? WriteWindowPosition(Form, false) : false;
  }
}

bool TBRMConfigManager::ReadWindowPositions() {
  bool all = true;
  for (TConfigForm* form : forms_) all = ReadWindowPosition(*form) && all;
  return all;
}

bool TBRMConfigManager::WriteWindowPositions() {
  bool all = true;
  for (TConfigForm* form : forms_) all = WriteWindowPosition(*form, false) && all;
  return all;
}

void TBRMConfigManager::AddForm(TConfigForm* Form) { forms_.push_back(Form); }

void TBRMConfigManager::RemoveForm(TConfigForm* Form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), Form), forms_.end());
}
