#pragma once

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Runs `action` on the next modal dialog once its event loop runs, so a test
// can answer an exec() without waiting. A dialog the action leaves open is
// rejected after ten seconds and fails the test instead of hanging it.
class CModalDriver {
public:
    explicit CModalDriver(std::function<void(QWidget*)> action) {
        QObject::connect(&m_poll, &QTimer::timeout, [this, action] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_poll.stop();
                action(modal);
                m_watchdog.start(10000);
            }
        });
        QObject::connect(&m_watchdog, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            }
        });
        m_watchdog.setSingleShot(true);
        m_poll.start(0);
    }

private:
    QTimer m_poll;
    QTimer m_watchdog;
};

struct ListClick {
    int row;
    Qt::KeyboardModifiers modifiers;
};

// Clicks the rows as a user does, modifier keys included.
inline void ClickRows(QListWidget* list, const std::vector<ListClick>& clicks) {
    for (const ListClick& click : clicks) {
        list->scrollToItem(list->item(click.row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, click.modifiers,
                          list->visualItemRect(list->item(click.row)).center());
    }
}
