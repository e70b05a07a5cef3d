#pragma once
// Per-process library start-up, held by both application objects as base classes.
// FCAutoInitializeCOM starts libcurl (the engine's and the downloads' HTTP); FCAutoInitGDIPlus
// starts GraphicsMagick (decoding and encoding). Each remembers whether its start succeeded
// and shuts down only what it started; nested instances are counted.

class FCAutoInitializeCOM {
public:
  FCAutoInitializeCOM();
  ~FCAutoInitializeCOM();
  FCAutoInitializeCOM(const FCAutoInitializeCOM&) = delete;
  FCAutoInitializeCOM& operator=(const FCAutoInitializeCOM&) = delete;
  bool Succeeded() const { return ok_; }

private:
  bool ok_ = false;
};

class FCAutoInitGDIPlus {
public:
  FCAutoInitGDIPlus();
  ~FCAutoInitGDIPlus();
  FCAutoInitGDIPlus(const FCAutoInitGDIPlus&) = delete;
  FCAutoInitGDIPlus& operator=(const FCAutoInitGDIPlus&) = delete;
};
