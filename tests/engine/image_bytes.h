#pragma once
// Picture files made in memory for tests and benchmarks. GraphicsMagick must be started
// (ImageLibraryInit) before these are called.
#include <QByteArray>

namespace testing_support {

/// A picture of `width` x `height` in `format` ("PNG", "JPEG", "GIF", "BMP", "TIFF", "WEBP");
/// `seed` varies the colours so that pictures differ byte for byte. Empty on failure. With
/// `left` and `top`, the picture is that part of a larger one of the same seed.
QByteArray MakeImageBytes(int width, int height, const char* format, int seed = 0, int left = 0,
                          int top = 0);

/// The pixels of the picture `bytes` as 8-bit RGBA rows, and its size; empty on failure.
QByteArray PixelsOf(const QByteArray& bytes, int* width = nullptr, int* height = nullptr);

/// A 2 x 2 icon (ICO with one 32-bit entry), which GraphicsMagick reads but cannot write.
QByteArray MakeIconBytes();

/// A well-formed PNG header that declares `width` x `height` pixels, followed by a tiny
/// image data chunk: a decompression bomb as far as any header reader can tell.
QByteArray MakePngDeclaring(quint32 width, quint32 height);

} // namespace testing_support
