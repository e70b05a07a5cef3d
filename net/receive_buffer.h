#pragma once
// CReceiveBuffer: the bytes a download has received and nobody has taken yet. The receive
// thread appends, the user-interface thread takes; both go through the buffer's lock.
// The block starts at 128 KiB and grows only in steps of 128 KiB; taking the data empties the
// buffer but keeps its capacity. Growth goes through realloc, which moves large blocks by
// remapping pages rather than copying them, so many small steps stay cheap for big bodies.
#include "net/auto_csec.h"

#include <QByteArray>
#include <memory>

/// A block taken from a receive buffer: `length` bytes followed by two zero bytes, so that it
/// also reads as a terminated string of 8-bit or 16-bit characters. Null with length 0 when
/// there was nothing to take.
struct FCReceivedBlock {
  std::unique_ptr<char[]> data;
  int length = 0;

  bool IsNull() const { return !data; }
  /// A copy of the `length` bytes.
  QByteArray Bytes() const { return data ? QByteArray(data.get(), length) : QByteArray(); }
};

class CReceiveBuffer : public FCAutoCSec {
public:
  static constexpr int kGrowStep = 0x20000;

  CReceiveBuffer();
  ~CReceiveBuffer();

  /// Appends `count` bytes, growing the block in 128 KiB steps when they do not fit. False,
  /// with nothing appended, when the memory for a larger block cannot be had.
  bool Append(const char* bytes, int count);
  /// Moves the bytes out (see FCReceivedBlock) and leaves the buffer empty.
  FCReceivedBlock Take();

  int Size() const;
  int Capacity() const;

private:
  int capacity_ = 0;
  char* data_ = nullptr; // malloc'ed, capacity_ bytes
  int size_ = 0;
};
