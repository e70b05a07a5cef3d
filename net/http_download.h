#pragma once
// FCHttpDownload: one HTTP GET on two short-lived worker threads, one after the other: the
// connect thread sends the request and waits for the response's headers, the receive thread
// reads the body into the receive buffer. Two 200 ms timers on the user-interface thread poll
// for the end of each thread and then queue the connected (0) and finished (1) events on the
// owner. The work starts when the object is constructed.
//
// Threads: construction, the timers, the accessors and destruction belong to the
// user-interface thread. The workers touch only the request, the speed counters and the
// receive buffer (the last two under their own locks). Destroying a download while a worker
// runs closes its connection and waits for the worker; it never leaves a thread behind.
#include "net/calculate_speed.h"
#include "net/http_download_param.h"
#include "net/http_response_info.h"
#include "net/receive_buffer.h"
#include "platform/timer_notify.h"

#include <QByteArray>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class FIDownloadMessageQueue;
class FCInternetSession;
class FCHttpRequest;

class FCHttpDownload {
public:
  /// Event codes queued on the owner.
  enum Event {
    kConnected = 0, ///< The connect step has ended, successfully or not.
    kFinished = 1,  ///< The receive step has ended.
  };
  static constexpr int kPollMs = 200;
  static constexpr int kReadBlock = 8192;

  /// Starts the download at once. `owner` receives its events; it may be null.
  FCHttpDownload(int id, const FCHttpDownloadParam& param, FIDownloadMessageQueue* owner);
  virtual ~FCHttpDownload();
  FCHttpDownload(const FCHttpDownload&) = delete;
  FCHttpDownload& operator=(const FCHttpDownload&) = delete;

  /// Moves the received bytes out (followed by two zero bytes); null with length 0 when none
  /// wait. May be called during the transfer to drain the buffer, or once at its end.
  FCReceivedBlock TakeReceivedData();

  int GetID() const { return id_; }
  const FCHttpDownloadParam& GetParam() const { return param_; }
  /// Filled when the connected event is queued; readResult when the finished event is.
  const FCHttpResponseInfo& GetResponseInfo() const { return response_; }
  CCalculateSpeed::Snapshot GetSpeed() const { return speed_.Counters(); }
  int ReceiveBufferCapacity() const { return buffer_.Capacity(); }

  /// The header text the request sends: the range line first (when the resume offset is above
  /// 0), then the extra headers.
  static QByteArray RequestHeaders(const FCHttpDownloadParam& param);

private:
  class CTimerConnected : public FCTimerNotify {
  public:
    explicit CTimerConnected(FCHttpDownload* owner) : owner_(owner) {}
    void OnTimerNotify() override { owner_->OnConnectPoll(); }

  private:
    FCHttpDownload* owner_;
  };
  class CTimerFinish : public FCTimerNotify {
  public:
    explicit CTimerFinish(FCHttpDownload* owner) : owner_(owner) {}
    void OnTimerNotify() override { owner_->OnFinishPoll(); }

  private:
    FCHttpDownload* owner_;
  };
  /// A worker thread whose end the user-interface thread can poll without waiting.
  class CWorker {
  public:
    ~CWorker() { Join(); }
    /// Runs `work` on a new thread. When no thread can be made it runs nothing, counts as
    /// ended and returns false.
    bool Start(std::function<void()> work);
    bool Running() const { return thread_.joinable() && !ended_.load(std::memory_order_acquire); }
    void Join();

  private:
    std::thread thread_;
    std::atomic<bool> ended_{false};
  };

  void OnConnectPoll();
  void OnFinishPoll();
  void FillResponseInfo();
  void ConnectWork();
  void ReceiveWork();

  int id_;
  FCHttpDownloadParam param_;
  FCHttpResponseInfo response_;
  CCalculateSpeed speed_;
  CReceiveBuffer buffer_;
  FIDownloadMessageQueue* owner_;
  std::unique_ptr<FCInternetSession> session_;
  std::unique_ptr<FCHttpRequest> request_; // written by the connect thread before it ends
  CTimerConnected timerConnected_{this};
  CTimerFinish timerFinish_{this};
  CWorker connectThread_;
  CWorker receiveThread_;
  std::uint32_t receiveResult_ = 0; // written by the receive thread before it ends
};
