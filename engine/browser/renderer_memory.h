#pragma once
// Keeping pages within a memory ceiling. A hostile or broken page (hundreds of thousands of
// elements, a text of many megabytes, an endless document.write) can take the browser's
// renderer to gigabytes within seconds. The browser polls its renderers' resident memory and
// ends one that has passed the ceiling; its page then shows nothing any more and ends like a
// page without image.
#include "common/protocol.h"

#include <QList>
#include <QtGlobal>
#include <sys/types.h>

namespace engine {

/// The ceiling for one renderer unless the front-end hands over another: 1.5 GiB.
constexpr qint64 kDefaultRendererMemoryMiB = protocol::kDefaultPageMemoryMiB;
/// A smaller ceiling would end ordinary pages: the value handed over is raised to this.
constexpr qint64 kMinimumRendererMemoryMiB = 64;
/// How often the renderers are looked at.
constexpr int kRendererMemoryPollMs = 500;

struct RendererMemory {
  pid_t pid = 0;
  qint64 residentBytes = 0;
};

/// The renderer processes below `browser` (at any depth) with their resident memory, read
/// from /proc. Empty when `browser` is not running.
QList<RendererMemory> RenderersBelow(pid_t browser);

} // namespace engine
