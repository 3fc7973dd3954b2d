#pragma once
// Every control of a window within reach of the keyboard, as in any desktop
// program:
//  - each captioned control (button, check box, option button, checkable
//    frame, and a label that names an input) has a mnemonic, Alt+letter,
//    unique in its window; a caption that has none gets the first free
//    letter, preferring the first letters of its words. The shown words stay
//    as they are; only the underline is added.
//  - Tab visits the controls in reading order: top to bottom, and left to
//    right along a line, as laid out on screen. The order is made again
//    whenever the window's layout changes (a control shown or hidden).
//
// Inputs without a caption of their own (lists, date boxes, grids) are named
// by a label: label->setBuddy(input), once per window where it is built.
//
//   installKeyboardAccess(window);   // after building it

class QLayoutItem;
class QWidget;

namespace quillon {

void installKeyboardAccess(QWidget* window);

// Makes the label in a layout's cell name the input (its buddy).
void labelInput(QLayoutItem* labelCell, QWidget* input);

// The two steps, for a window that wants them at a moment of its own.
void assignMnemonics(QWidget* window);
void orderTabsByReading(QWidget* window);

}  // namespace quillon
