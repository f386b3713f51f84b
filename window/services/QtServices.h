#pragma once

#include "Services.h"

// The real desktop: QMessageBox, QFileDialog, QFileInfo, QProcess and
// QDesktopServices.
class QtServices : public Services
{
public:
    void DataError(QWidget* parent, const QString& text) override;
    void Notice(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
    int AskOverlay(QWidget* parent, const QString& fileName, const QStringList& labels,
                   int current) override;
    void Failure(QWidget* parent, const QString& text) override;
    void About(QWidget* parent, const QString& title, const QString& text) override;
    QString ShowFileDialog(QWidget* parent, FileDialogMode mode, const QString& title,
                           const QString& filter, const QString& suggested) override;
    bool OrdinaryFileExists(const QString& path) override;
    StartResult StartProgram(const QString& program, const QStringList& arguments) override;
    StartResult OpenInDefaultBrowser(const QUrl& url) override;
    WriteResult WriteFile(const QString& path, const QByteArray& bytes) override;
    QString ProgramFolder() override;
};
