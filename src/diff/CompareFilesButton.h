#pragma once
// "Compare Files..." on the Compare EB tab: two chosen EB files compared point by point into a
// chosen report, which is then opened. The tab's own boxes and their rules are left as they are.

#include "compare/CompareEbTab.h"
#include "ui/QtWindowContext.h"

namespace pel {

void AddCompareFilesButton(WindowContext& context, CompareEbTab& tab);

}  // namespace pel
