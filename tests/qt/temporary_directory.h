// A test fixture that runs each test in a fresh directory and answers the sound warning.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace pawnfall::test {

class InTemporaryDirectory : public ::testing::Test {
 protected:
  static inline const QString kSettingsName = QStringLiteral("Pawnfall.ini");

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    old_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    // The sound library does not stand beside the test program, and some tests make saving
    // fail, so start-up may warn in a modal box; close it so the window can finish starting.
    QObject::connect(&warning_closer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || box->icon() != QMessageBox::Warning) return;
      if (box->windowTitle() != QStringLiteral("Pawnfall.dll")) warnings_.push_back(box->text());
      box->accept();
    });
    warning_closer_.start(10);
  }
  void TearDown() override {
    warning_closer_.stop();
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir::setCurrent(old_);
  }

  static void write_settings(const QByteArray& bytes) {
    QFile f(kSettingsName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }
  static QByteArray settings_bytes() {
    QFile f(kSettingsName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString old_;
  QTimer warning_closer_;
  QStringList warnings_;  // the texts of the warning boxes closed
};

}  // namespace pawnfall::test
