#pragma once
// Scripts the views run inside their pages.
#include <QString>

namespace engine::page_scripts {

/// Installs the document helper in the engine's isolated world (idempotent). Page scripts
/// live in another world: they can neither see nor change the helper or the DOM methods and
/// getters it uses.
QString IsolatedHelper();

/// Calls one helper operation: arguments (released collection ids, operation, argument list).
QString CallOperation();

/// Runs in the page's own world before its scripts: the external object exists but has no
/// members, so a page calling any of them gets a script error.
QString EmptyExternal();

} // namespace engine::page_scripts
