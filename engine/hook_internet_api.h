#pragma once
// CHookInternetAPI: silences every system sound of the engine process while it lives, by
// swapping the process-wide sound entry point for a stub that plays nothing and reports
// success. Exactly one exists per engine, inside the host dialog.
class CHookInternetAPI {
public:
  CHookInternetAPI();
  virtual ~CHookInternetAPI();
  CHookInternetAPI(const CHookInternetAPI&) = delete;
  CHookInternetAPI& operator=(const CHookInternetAPI&) = delete;
};
