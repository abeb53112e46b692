#pragma once
// The Compare EB tab's folder box as a path the user may type or paste (Enter moves there), and
// F5 to read the folder and its files again.

namespace pel {

class CompareEbTab;
struct WindowContext;

void MakeFolderBoxEditable(WindowContext& context, CompareEbTab& tab);

}  // namespace pel
