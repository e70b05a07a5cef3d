#pragma once
// Scripts the views run inside their pages.
#include <QString>

namespace engine::page_scripts {

/// Installs the document helper in the engine's isolated world (idempotent). Page scripts
/// live in another world: they can neither see nor change the helper or the DOM methods and
/// getters it uses.
QString IsolatedHelper();

/// Calls one helper operation: arguments (released collection ids, whether the page is held,
/// operation, argument list). Answers [the operation's value, addresses of the navigations
/// the held page started during the operation, which the helper cancelled].
QString CallOperation();

/// Runs in the page's own world before its scripts: the external object exists but has no
/// members, so a page calling any of them gets a script error.
QString EmptyExternal();

} // namespace engine::page_scripts
