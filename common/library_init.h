#pragma once
// Per-process library start-up, held by both application objects as base classes.
// CurlGlobal starts libcurl (the engine's and the downloads' HTTP); ImageLibraryInit
// starts GraphicsMagick (decoding and encoding). Each remembers whether its start succeeded
// and shuts down only what it started; nested instances are counted.

class CurlGlobal {
public:
  CurlGlobal();
  ~CurlGlobal();
  CurlGlobal(const CurlGlobal&) = delete;
  CurlGlobal& operator=(const CurlGlobal&) = delete;
  bool Succeeded() const { return ok_; }

private:
  bool ok_ = false;
};

class ImageLibraryInit {
public:
  ImageLibraryInit();
  ~ImageLibraryInit();
  ImageLibraryInit(const ImageLibraryInit&) = delete;
  ImageLibraryInit& operator=(const ImageLibraryInit&) = delete;
};
