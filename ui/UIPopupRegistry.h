#pragma once

// The pop-ups open now (menus, and the lists of combo boxes and
// completers), so that a mouse press anywhere in the application can close
// the ones it does not land in before the press is delivered. A pop-up joins
// when it shows and leaves when it hides or is destroyed. UI thread only.

class UIWidget;

namespace UIPopupRegistry {

void add(UIWidget* popup);
void remove(UIWidget* popup);
bool contains(const UIWidget* popup);
int count();
// Hides every visible registered pop-up except the target's window and the
// pop-ups that window hangs from (a submenu keeps its parent menus open).
void hideAllOutside(const UIWidget* target);

} // namespace UIPopupRegistry
