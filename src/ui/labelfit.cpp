#include "labelfit.h"

#include <QLabel>

#include <algorithm>

void fitLabelsToTexts(QWidget& form)
{
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->wordWrap())
            label->setMinimumWidth(std::max(label->minimumWidth(), label->sizeHint().width()));
    }
}
