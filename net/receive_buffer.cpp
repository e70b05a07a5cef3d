#include "net/receive_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

CReceiveBuffer::CReceiveBuffer() {
  data_ = static_cast<char*>(std::malloc(kGrowStep));
  if (data_) capacity_ = kGrowStep;
}

CReceiveBuffer::~CReceiveBuffer() { std::free(data_); }

bool CReceiveBuffer::Append(const char* bytes, int count) {
  if (count <= 0) return true;
  const auto lock = Lock();
  if (count > std::numeric_limits<int>::max() - size_) return false;
  if (size_ + count > capacity_) {
    std::int64_t capacity = capacity_;
    while (size_ + count > capacity) capacity += kGrowStep;
    if (capacity > std::numeric_limits<int>::max()) return false;
    char* grown = static_cast<char*>(std::realloc(data_, size_t(capacity)));
    if (!grown) return false;
    data_ = grown;
    capacity_ = int(capacity);
  }
  std::memcpy(data_ + size_, bytes, count);
  size_ += count;
  return true;
}

FCReceivedBlock CReceiveBuffer::Take() {
  FCReceivedBlock block;
  const auto lock = Lock();
  if (size_ == 0) return block;
  block.data.reset(new char[size_ + 2]());
  std::memcpy(block.data.get(), data_, size_);
  block.length = size_;
  size_ = 0;
  return block;
}

int CReceiveBuffer::Size() const {
  const auto lock = Lock();
  return size_;
}

int CReceiveBuffer::Capacity() const {
  const auto lock = Lock();
  return capacity_;
}
