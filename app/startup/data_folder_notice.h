#pragma once
// A first start in a data folder that the desktop launcher has just made:
// the prompt line then tells the user where the program keeps its files,
// since a program started from the menu has no visible current folder.
class TForm_Main;

// Set (to any value) by the launcher when it made the folder.
inline constexpr char kNewDataFolderVariable[] = "VAMU_PELICAN_NEW_DATA_FOLDER";

// True when the launcher marked the folder as new. Clears the mark, so a
// program started from this one does not inherit it.
bool takeNewDataFolderMark();

// Shows the base folder in the prompt line, until a field's own prompt
// replaces it.
void showDataFolderNotice(TForm_Main& form);
