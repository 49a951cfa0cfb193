// Test entry point: a Qt application on the offscreen platform, so that tests
// of windows run without a display. Every model a view shows in any test is
// watched by Qt's QAbstractItemModelTester: a model that breaks the rules of
// Qt's models (rows reported wrongly around an insert, data for an index that
// does not exist, ...) stops the test process there.
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Puts a tester on the model of every view as it is first shown or given a model.
class ModelWatch final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Polish)
            if (auto* view = qobject_cast<QAbstractItemView*>(watched))
                watch(view->model());
        return false;
    }

private:
    static void watch(QAbstractItemModel* model)
    {
        if (!model || model->property("fundoraModelTester").toBool())
            return;
        model->setProperty("fundoraModelTester", true);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each test process has the link between the programs to itself, so that
    // tests running side by side do not see each other's "running Fundora".
    qputenv("FUNDORA_DDE_SCOPE", QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    ModelWatch models;
    app.installEventFilter(&models);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
