// The --screenshot check: the window with its preview, grabbed to a PNG file once the preview
// has loaded the listing and painted it. Lets a check without a person look at the window.
#pragma once

#include <QImage>
#include <QRect>

#include <string>

namespace orvane::ui {

class CMainFrame;

// Shows the frame, makes sure a preview is generated, waits (at most timeoutMs) until the
// preview has loaded and painted something, and saves the whole window to path. False, with a
// line on stderr, when the listing failed, the preview stayed blank or the file could not be
// written.
bool TakeScreenshot(CMainFrame& frame, const std::string& path, int timeoutMs = 90000);

// Whether a region of a picture shows more than one colour.
bool RegionPainted(const QImage& image, const QRect& region);

}  // namespace orvane::ui
