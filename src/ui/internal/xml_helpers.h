// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QXmlStreamReader>

#include "common/status.h"
#include "ui/theme.h"

namespace DuiLib::internal {

// Applies one Font, Color or Default element (the reader stands on its start).
kb::Status ApplyThemeElement(CTheme& theme, QXmlStreamReader& reader);

}  // namespace DuiLib::internal
