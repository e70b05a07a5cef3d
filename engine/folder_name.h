#pragma once
// The link search names folders by the shared folder-name rule (common/folder_name.h), which
// the front-ends also apply to the names they make from web text.
#include "common/folder_name.h"

namespace engine {
using common::kMaxFolderNameBytes;
using common::kMaxFolderNameChars;
using common::kNeutralFolderName;
using common::NormaliseWhitespace;
using common::SafeFolderComponent;
} // namespace engine
