#pragma once

#include "app/FeatureProcedures.h"
#include "app/MainFrame.h"
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "tests/support/Mnemonics.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace fundora::test {

// The main frame on a program directory of its own, as the program starts
// it, with the procedures the test registers.
class FrameTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        core::resetGlobalState();
        prepareRegister();
        app::declareFeatureFiles();
        files = std::make_unique<core::DataFiles>(dir());
        core::DataFiles::setCurrent(files.get());
        registerProcedures();
        frame = std::make_unique<app::MainFrame>(*files, dir());
        ASSERT_TRUE(frame->open());
        settle();
    }
    void TearDown() override
    {
        // Whatever the test left open goes without saving.
        for (int i = 0; i < 4; ++i)
            messages().answer(platform::Button::No);
        frame->close();
        frame.reset();
        files.reset();
        ProgramTest::TearDown();
    }
    virtual void registerProcedures() = 0;
    // What the register holds before the program opens it (nothing by default).
    virtual void prepareRegister() {}

    template <class W>
    W* child() const
    {
        for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList())
            if (auto* w = dynamic_cast<W*>(sub->widget()))
                return w;
        return nullptr;
    }
    template <class W>
    void activate(W* window)
    {
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
        settle();
    }
    // The frame's menu titles, whose Alt keys a child window shares.
    QStringList menuTitles() const { return test::menuTitles(*frame->menuBar()); }
    // Lets posted work and queued clicks run.
    static void settle()
    {
        for (int i = 0; i < 8; ++i)
            QCoreApplication::processEvents();
    }
    void press(int command)
    {
        frame->toolbarAction(command)->trigger();
        settle();
    }
    // Every record of a file with its row and version, in row order: what
    // must not change when nothing was saved.
    QStringList dump(core::FileId id)
    {
        QStringList out;
        core::FileUse use(*files, id);
        platform::DataFile& f = files->file(id);
        std::int64_t row = 0;
        std::int64_t count = 0;
        f.count(count);
        for (std::int64_t found = 0; found < count && row < count + 100000; ++row) {
            platform::Record r;
            if (!f.fetch(row, r).ok())
                continue;
            ++found;
            QStringList values;
            for (const platform::FieldValue& v : r.values)
                values << std::visit(
                    [](const auto& x) -> QString {
                        using T = std::decay_t<decltype(x)>;
                        if constexpr (std::is_same_v<T, QString>)
                            return x;
                        else if constexpr (std::is_same_v<T, platform::Decimal>)
                            return x.toString();
                        else
                            return QString::number(x);
                    },
                    v);
            out << QStringLiteral("%1@%2: %3").arg(r.identity.row).arg(r.identity.version).arg(values.join(u'|'));
        }
        return out;
    }

    std::unique_ptr<core::DataFiles> files;
    std::unique_ptr<app::MainFrame> frame;
};

} // namespace fundora::test
