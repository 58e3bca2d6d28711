// The file dialogs' filters: the program's filter texts ("Text files (*.txt)|*.txt|All files
// (*.*)|*.*") in the form Qt's file dialogs take ("Text files (*.txt);;All files (*)").
#pragma once

#include <QString>

#include <string>

namespace orvane::ui {

// Each description keeps its text; a description without its patterns in brackets gets them.
QString QtFileFilter(const std::string& filter);

}  // namespace orvane::ui
