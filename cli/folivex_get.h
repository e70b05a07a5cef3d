#pragma once
// The whole folivex-get program behind its thin main(): argument handling, the download and
// link-search runs and Control-C.
#include <QStringList>

namespace folivex_get {

/// Environment variable naming another engine program than "Gantrell" in the program folder
/// (tests start a scripted stand-in this way).
constexpr const char* kEngineVariable = "FOLIVEX_GET_ENGINE";

/// Runs folivex-get with `arguments` (without the program name); returns the exit code. Needs a
/// QCoreApplication.
int RunFolivexGet(const QStringList& arguments);

} // namespace folivex_get
