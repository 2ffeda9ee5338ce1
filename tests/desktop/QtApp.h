// The application object the widget tests need (offscreen platform). It lives from
// before the first test to after the last, and is gone before the program exits.
#pragma once

#include <QApplication>

namespace tinctor::test {

inline QApplication& App() { return *qobject_cast<QApplication*>(QCoreApplication::instance()); }

}  // namespace tinctor::test
