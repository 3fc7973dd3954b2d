#pragma once
// Windows that fit a small screen (a laptop at 150% scaling leaves about
// 900x500 pixels): a window taller than the screen scrolls its controls
// instead of hiding the lower ones below the screen's edge.
//
//   auto* layout = scrollingBody(this);   // instead of new QVBoxLayout(this)
//
// The body asks for all the room its controls want and, when the screen has
// less, makes do with less and scrolls.

class QVBoxLayout;
class QWidget;

namespace quillon {

// The layout of a scrolling body that fills the window.
QVBoxLayout* scrollingBody(QWidget* window);

// Makes a window about to open no larger than its screen's free area (less a
// title bar); a smaller one is left as it is.
void fitOnScreen(QWidget* window);

}  // namespace quillon
