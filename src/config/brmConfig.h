// The configuration manager: named integers, strings and window positions
// below "\Software\" + company + "\" + product + "\". Reads look at
// HKEY_CURRENT_USER and then HKEY_LOCAL_MACHINE, whose value wins; writes
// go to HKEY_CURRENT_USER unless the caller asks for the machine-wide key.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plRegistry.h"

// A window whose position the manager keeps; the window layer implements it.
class TConfigForm {
 public:
  virtual ~TConfigForm() = default;
  virtual std::string Name() const = 0;  // the form's component name
  virtual int32_t Left() const = 0;
  virtual int32_t Top() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual int32_t WindowState() const = 0;  // 0 normal, 1 minimized, 2 maximized
  virtual void SetLeft(int32_t value) = 0;
  virtual void SetTop(int32_t value) = 0;
  virtual void SetWidth(int32_t value) = 0;
  virtual void SetHeight(int32_t value) = 0;
  virtual void SetWindowState(int32_t value) = 0;
  // Called after the stored values were applied.
  virtual void PositionRestored() {}
};

inline constexpr const char* WindowPositionPath = "UI\\Forms\\";

class TBRMConfigManager {
 public:
  using TOnConfigUpdatedEvent = std::function<void()>;

  bool Restrictive = true;
  std::string CompanyName = "Brenmoor";

  const std::string& ProductName() const { return productName_; }
  void SetProductName(const std::string& Value);
  void RegisterConfigUpdateHandler(TOnConfigUpdatedEvent Handler);
  void NotifyUpdateHandlers();

  std::string GetRegistryBasePath() const;
  std::string GetRegistryFormPath(const TConfigForm& Form) const;
  void SetRootKeyArray(std::array<HKEY, 2>& Keys) const;

  bool ReadInteger(const std::string& ValueName, int32_t& ValueData);
  bool ReadInteger(const std::string& Path, const std::string& ValueName, int32_t& ValueData);
  bool ReadString(const std::string& ValueName, std::string& ValueData);
  bool ReadString(const std::string& Path, const std::string& ValueName, std::string& ValueData);
  void WriteInteger(const std::string& ValueName, int32_t ValueData, bool Global);
  void WriteInteger(const std::string& Path, const std::string& ValueName, int32_t ValueData,
                    bool Global);
  void WriteString(const std::string& ValueName, const std::string& ValueData, bool Global);
  void WriteString(const std::string& Path, const std::string& ValueName,
                   const std::string& ValueData, bool Global);

  bool ReadWindowPosition(TConfigForm& Form);
  bool WriteWindowPosition(TConfigForm& Form, bool Global);
  // Every form of the application, in the order they were added.
  bool ReadWindowPositions();
  bool WriteWindowPositions();
  void AddForm(TConfigForm* Form);
  void RemoveForm(TConfigForm* Form);

 private:
  std::vector<HKEY> RootKeys() const;

  std::string productName_;
  std::vector<TOnConfigUpdatedEvent> FUpdateHandlers;
  std::vector<TConfigForm*> forms_;
};

// The global instance, created at start-up.
extern TBRMConfigManager* GConfigManager;

// The product name taken from a program file: the name without its folder,
// cut before its first ".", its first letter in capitals and the rest in
// lower case ("corvina" and "CORVINA.EXE" give "Corvina").
std::string ProductNameFromProgramFile(const std::string& path);
