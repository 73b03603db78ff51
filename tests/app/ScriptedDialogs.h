#pragma once
// A dialog service that shows nothing: each dialog takes the next answer the test queued and
// records what it was asked, so tests can check texts and answer "Replace existing file?".
// Progress displays record their steps and can be told to be cancelled at a step.
#include <deque>
#include <stdexcept>

#include <QString>
#include <QStringList>

#include "DialogService.h"

namespace tovra::test {

struct TAskedDialog {
    QString Kind;  // "question", "warning", "error", "open", "save", "folder", "progress"
    QString Title;
    QString Text;
};

class TScriptedDialogs : public TDialogService {
public:
    std::deque<bool> YesNoAnswers;         // question and warning boxes
    std::deque<QStringList> OpenAnswers;   // open dialogs; an empty list is Cancel
    std::deque<QString> SaveAnswers;       // save dialogs; an empty string is Cancel
    std::deque<QString> FolderAnswers;
    std::vector<TAskedDialog> Asked;
    // Progress: the title asked for, the step texts shown, and the step whose Cancel is pressed
    // (-1: never). A run's display lives until the run ends; ProgressOpen tells whether it does.
    QString ProgressTitle;
    int ProgressCount = -1;
    QStringList ProgressTexts;
    int CancelAtStep = -1;
    bool ProgressOpen = false;
    TOpenFilesRequest LastOpen;
    TSaveFileRequest LastSave;

    bool Question(QWidget*, const QString& title, const QString& text) override {
        Asked.push_back({"question", title, text});
        return Next(YesNoAnswers, "question");
    }
    bool WarningYesNo(QWidget*, const QString& title, const QString& text) override {
        Asked.push_back({"warning", title, text});
        return Next(YesNoAnswers, "warning");
    }
    void Error(QWidget*, const QString& title, const QString& text) override {
        Asked.push_back({"error", title, text});
    }
    QStringList OpenFiles(QWidget*, const TOpenFilesRequest& request) override {
        LastOpen = request;
        Asked.push_back({"open", request.Title, {}});
        return Next(OpenAnswers, "open");
    }
    QString SaveFile(QWidget*, const TSaveFileRequest& request) override {
        LastSave = request;
        Asked.push_back({"save", {}, request.FileName});
        return Next(SaveAnswers, "save");
    }
    QString PickFolder(QWidget*, const QString& title, const QString&) override {
        Asked.push_back({"folder", title, {}});
        return Next(FolderAnswers, "folder");
    }

    std::unique_ptr<TRunProgress> StartProgress(QWidget*, const QString& title, int count) override {
        Asked.push_back({"progress", title, {}});
        ProgressTitle = title;
        ProgressCount = count;
        ProgressTexts.clear();
        return std::make_unique<TScriptedProgress>(*this);
    }

    // The error texts shown so far.
    QStringList Errors() const {
        QStringList texts;
        for (const auto& asked : Asked)
            if (asked.Kind == "error") texts << asked.Text;
        return texts;
    }

private:
    class TScriptedProgress : public TRunProgress {
    public:
        explicit TScriptedProgress(TScriptedDialogs& owner) : owner_(owner) { owner_.ProgressOpen = true; }
        ~TScriptedProgress() override { owner_.ProgressOpen = false; }
        void Step(int index, int, const QString& text) override {
            owner_.ProgressTexts << text;
            if (index == owner_.CancelAtStep) cancelled_ = true;
        }
        bool WasCancelled() override { return cancelled_; }

    private:
        TScriptedDialogs& owner_;
        bool cancelled_ = false;
    };

    template <class T>
    static T Next(std::deque<T>& answers, const char* kind) {
        if (answers.empty()) throw std::logic_error(std::string("no scripted answer for a ") + kind + " dialog");
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tovra::test
