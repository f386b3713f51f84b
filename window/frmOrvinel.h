#pragma once

#include <QWidget>

class Services;

class frmOrvinel : public QWidget
{
    Q_OBJECT
public:
    explicit frmOrvinel(Services& services, QWidget* parent = nullptr);

private:
    Services& services_;
};
