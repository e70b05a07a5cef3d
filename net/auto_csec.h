#pragma once
// FCAutoCSec: a base class that owns one lock for the data of the class that derives from it.
// The lock lives exactly as long as the object; derived classes take it around every access
// that another thread may make at the same time.
#include <mutex>

class FCAutoCSec {
public:
  FCAutoCSec() = default;
  FCAutoCSec(const FCAutoCSec&) = delete;
  FCAutoCSec& operator=(const FCAutoCSec&) = delete;

protected:
  /// Holds the lock for the lifetime of the returned guard.
  std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(csec_); }

private:
  mutable std::mutex csec_;
};
