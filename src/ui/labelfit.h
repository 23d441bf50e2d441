#pragma once

class QWidget;

// Every label of the form that does not wrap is at least as wide as its
// text: a layout never cuts one to the minimum width the form gave it, in
// whichever language it is shown.
void fitLabelsToTexts(QWidget& form);
