#pragma once
// Replacing a file the user cannot afford to lose.

#include <QString>
#include <string_view>

// Writes bytes to a temporary file in path's folder, flushes it to disk,
// renames it over path and flushes the folder, so that a crash, a kill or a
// power cut at any moment leaves either the old file or the new one, whole.
// False when the file could not be written (the old one is then untouched)
// or its new name could not be flushed to disk. A kill leaves at most a
// temporary file named path + "." + six random letters and digits.
bool SaveFileSafely(const QString& path, std::string_view bytes);
