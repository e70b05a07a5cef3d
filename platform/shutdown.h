#pragma once
// Powering the computer off after the last download, behind an interface every test replaces.
namespace platform {

class FIShutdown {
public:
  virtual ~FIShutdown() = default;
  /// Asks the system to power off. Returns false when the request was refused.
  virtual bool PowerOff() = 0;
};

/// Asks logind over the system bus to power off (interactive, so polkit may ask the user).
class LogindShutdown : public FIShutdown {
public:
  bool PowerOff() override;
};

} // namespace platform
