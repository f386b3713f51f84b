#include "NamedLists.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace {

class NamedList : public QAccessibleWidget
{
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Value)
            return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(which); // the name, the tooltip as description
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            static_cast<QComboBox*>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

constexpr char kNamed[] = "namedByAccessibleName";

QAccessibleInterface* NamedListFor(const QString& className, QObject* object)
{
    auto* list = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || list == nullptr ||
        !list->property(kNamed).toBool())
        return nullptr;
    return new NamedList(list);
}

} // namespace

void NameByAccessibleName(QComboBox* list)
{
    static const bool installed = [] {
        QAccessible::installFactory(NamedListFor);
        return true;
    }();
    Q_UNUSED(installed);
    list->setProperty(kNamed, true);
}
