// Fitting a path into a panel's pixel width by cutting directories from the
// front ("C:\A\B\C\F.TXT" -> "...\B\C\F.TXT" -> "...\C\F.TXT"). The width of a
// text comes from the caller, measured in the font the text is drawn in.
#pragma once

#include <functional>
#include <string>

namespace duplane {

using TextWidthFn = std::function<int(const std::string& text)>;

// The path shortened until `text_width` of it is at most `width` or nothing
// but the file name is left (the file name itself is never cut).
std::string ShortenPath(const std::string& path, int width, const TextWidthFn& text_width);

// A panel's text: " " + the path shortened to the panel's width less 10 pixels
// (SourceDir, TargetDir, LFile, LSource, LTarget).
std::string PanelText(const std::string& path, int panel_width, const TextWidthFn& text_width);

}  // namespace duplane
