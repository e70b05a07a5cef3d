#include "net/receive_buffer.h"

#include <cstring>

CReceiveBuffer::CReceiveBuffer() : data_(new char[kGrowStep]) {}

void CReceiveBuffer::Append(const char* bytes, int count) {
  if (count <= 0) return;
  const auto lock = Lock();
  if (size_ + count > capacity_) {
    int capacity = capacity_;
    while (size_ + count > capacity) capacity += kGrowStep;
    std::unique_ptr<char[]> grown(new char[capacity]);
    std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  std::memcpy(data_.get() + size_, bytes, count);
  size_ += count;
}

FCReceivedBlock CReceiveBuffer::Take() {
  FCReceivedBlock block;
  const auto lock = Lock();
  if (size_ == 0) return block;
  block.data.reset(new char[size_ + 2]());
  std::memcpy(block.data.get(), data_.get(), size_);
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
