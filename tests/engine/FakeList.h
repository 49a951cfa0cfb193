#pragma once

#include "engine/BrowseEngine.h"
#include "engine/ListControl.h"

#include <deque>
#include <functional>

namespace fundora::test {

// A list control without a screen: remembers what the engine showed.
class FakeList : public engine::ListControl {
public:
    int rows = 5;
    std::vector<engine::BrowseRow> shown;
    int selected = 0;
    bool scrollBar = true;
    int thumbValue = 0;
    QString lastMenu;
    int menuAnswer = 0;

    int visibleRows() const override { return rows; }
    void showRows(const std::vector<engine::BrowseRow>& r) override { shown = r; }
    int selectedRow() const override { return selected; }
    void setSelectedRow(int row) override { selected = row; }
    void setScrollBarVisible(bool v) override { scrollBar = v; }
    int thumb() const override { return thumbValue; }
    void setThumb(int p) override { thumbValue = p; }
    int popupMenu(const QString& items) override
    {
        lastMenu = items;
        return menuAnswer;
    }
};

// A browse host whose posted work runs when the test says so, and whose update form is scripted.
class FakeHost : public engine::BrowseHost {
public:
    std::deque<std::function<void()>> posted;
    bool editEnabled = false;
    int readFailures = 0;
    std::vector<engine::EditButton> pressed;
    std::vector<core::Request> formRequests;
    // Answers of the form: response and navigation, one pair per call.
    std::deque<std::pair<core::Response, core::Navigation>> formAnswers;
    std::function<void(core::Request)> onForm; // what the form does to the buffer before answering
    int labelField = 1;
    int sortOrder = 0;

    int currentSortOrder() const override { return sortOrder; }

    void buildRow(engine::BrowseRow& row) override { row.cells = {{row.record.text(labelField), {}, {}}}; }
    void callUpdateForm(engine::FormCall call, std::function<void(core::Response, core::Navigation)> done) override
    {
        formRequests.push_back(call.request);
        if (onForm)
            onForm(call.request);
        auto answer = formAnswers.empty() ? std::make_pair(core::Response::Cancelled, core::Navigation::None) : formAnswers.front();
        if (!formAnswers.empty())
            formAnswers.pop_front();
        done(answer.first, answer.second);
    }
    void setEditEnabled(bool e) override { editEnabled = e; }
    void pressButton(engine::EditButton b) override { pressed.push_back(b); }
    void readFailed() override { ++readFailures; }
    void post(std::function<void()> work) override { posted.push_back(std::move(work)); }
    void runPosted()
    {
        while (!posted.empty()) {
            auto w = std::move(posted.front());
            posted.pop_front();
            w();
        }
    }
};

} // namespace fundora::test
