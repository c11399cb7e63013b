#pragma once
// A drop-down list whose closed list changes with the mouse wheel only while it
// has the focus; otherwise the wheel goes on to the page.

#include <QComboBox>

class CFocusWheelComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit CFocusWheelComboBox(QWidget* parent);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
