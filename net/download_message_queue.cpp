#include "net/download_message_queue.h"

#include <map>

namespace {
// Live queues and the serial each was registered with; exists while some queue lives.
using Registry = std::map<const FIDownloadMessageQueue*, std::uint64_t>;
Registry* registry = nullptr;
std::uint64_t nextSerial = 0;
constexpr int kDeliveryDelayMs = 50;
} // namespace

FIDownloadMessageQueue::FIDownloadMessageQueue() : serial_(++nextSerial) {
  if (!registry) registry = new Registry;
  (*registry)[this] = serial_;
}

FIDownloadMessageQueue::~FIDownloadMessageQueue() {
  timerGetMessage_.StopTimer();
  if (!registry) return;
  registry->erase(this);
  if (registry->empty()) {
    delete registry;
    registry = nullptr;
  }
}

bool FIDownloadMessageQueue::IsLive(const FIDownloadMessageQueue* queue, std::uint64_t serial) {
  if (!registry) return false;
  const auto it = registry->find(queue);
  return it != registry->end() && it->second == serial;
}


void FIDownloadMessageQueue::QueueMessage(int code, int id) {
  queue_.emplace_back(code, id);
  if (!timerGetMessage_.IsTimerRunning()) timerGetMessage_.StartTimer(kDeliveryDelayMs);
}

void FIDownloadMessageQueue::CTimerGetMessage::OnTimerNotify() {
  StopTimer(); // one delivery per start
  owner_->PumpMessages();
}

void FIDownloadMessageQueue::PumpMessages() {
  if (dispatching_) return; // a handler further up the stack is delivering already
  dispatching_ = true;
  const std::uint64_t serial = serial_;
  while (!queue_.empty()) {
    const auto [code, id] = queue_.front();
    queue_.pop_front();
    OnDownloadMessage(code, id);
    if (!IsLive(this, serial)) return; // the handler destroyed this queue
  }
  dispatching_ = false;
}
