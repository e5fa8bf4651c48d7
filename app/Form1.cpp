#include "app/Form1.h"

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Brenlow 7.0"));
    setFixedSize(896, 571);
}
