#pragma once

class UIWidget;

// Hands what the widget's window has painted on to the display at once,
// for callers that paint while no event loop runs (loads, saves, scans).
void showPaintedNow(const UIWidget* widget);
