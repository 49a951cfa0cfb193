#include "core/WindowPosition.h"
#include "platform/IniFile.h"
#include "tests/support/TestEnvironment.h"

#include <QWidget>

using namespace fundora;
using platform::IniFile;

namespace {

class WindowPositionTest : public test::ProgramTest {
protected:
    QString ini() const { return path(QStringLiteral("fundora.INI")); }
    QString value(const char* key) const { return IniFile::read(ini(), QStringLiteral("BrowseAccounts"), QString::fromLatin1(key)); }
};

TEST_F(WindowPositionTest, SavesAndRestoresPositionAndSize)
{
    QWidget w;
    w.setGeometry(120, 80, 400, 300);
    core::saveWindowPosition(w, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(value("Maximize"), QStringLiteral("No"));
    EXPECT_EQ(value("XPosit"), QString::number(w.x()));
    EXPECT_EQ(value("Width"), QStringLiteral("400"));
    QWidget other;
    other.resize(200, 100);
    core::restoreWindowPosition(other, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(other.pos(), w.pos());
    EXPECT_EQ(other.size(), QSize(400, 300));
}

TEST_F(WindowPositionTest, APositionOutsideTheVisibleAreaIsBroughtBackInside)
{
    // Stored after Tile on a larger screen: far to the right of the frame the window now lives in.
    IniFile stored;
    for (const auto& [key, value] :
         {std::pair{"XPosit", "2084"}, {"YPosit", "1500"}, {"Width", "900"}, {"Height", "700"}, {"Maximize", "No"}})
        stored.setValue(QStringLiteral("BrowseAccounts"), QString::fromLatin1(key), QString::fromLatin1(value));
    stored.save(ini());
    QWidget frame;
    frame.resize(800, 600);
    QWidget child(&frame);
    child.setGeometry(10, 10, 300, 200);
    core::restoreWindowPosition(child, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_TRUE(frame.rect().contains(child.geometry()))
        << child.geometry().x() << ',' << child.geometry().y() << ' ' << child.width() << 'x' << child.height();
    EXPECT_EQ(child.size(), QSize(800, 600)) << "shrunk to the area it must fit";
    // A window that cannot be resized keeps its size and is only moved.
    QWidget fixed(&frame);
    fixed.setFixedSize(300, 200);
    core::restoreWindowPosition(fixed, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(fixed.geometry(), QRect(500, 400, 300, 200));
    // A position inside stays exactly where it was stored.
    IniFile::write(ini(), QStringLiteral("BrowseAccounts"), QStringLiteral("XPosit"), QStringLiteral("40"));
    IniFile::write(ini(), QStringLiteral("BrowseAccounts"), QStringLiteral("YPosit"), QStringLiteral("30"));
    core::restoreWindowPosition(fixed, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(fixed.geometry(), QRect(40, 30, 300, 200));
}

TEST_F(WindowPositionTest, AMinimisedWindowKeepsTheEntryStoredBefore)
{
    IniFile::write(ini(), QStringLiteral("BrowseAccounts"), QStringLiteral("XPosit"), QStringLiteral("33"));
    QWidget w;
    w.setGeometry(10, 10, 200, 100);
    w.showMinimized();
    core::saveWindowPosition(w, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(value("XPosit"), QStringLiteral("33"));
    EXPECT_EQ(value("Width"), QString());
}

TEST_F(WindowPositionTest, LeftEdgeZeroOrNoSectionMeansNotStored)
{
    IniFile ini0;
    ini0.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("XPosit"), QStringLiteral("0"));
    ini0.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("YPosit"), QStringLiteral("50"));
    ini0.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("Width"), QStringLiteral("640"));
    ini0.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("Height"), QStringLiteral("480"));
    ini0.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("Maximize"), QStringLiteral("Yes"));
    ini0.save(ini());
    QWidget w;
    w.setGeometry(5, 6, 300, 200);
    core::restoreWindowPosition(w, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(w.geometry(), QRect(5, 6, 300, 200));
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized) << "Maximize is not even read";
    core::restoreWindowPosition(w, ini(), QStringLiteral("UpdateDates"));
    EXPECT_EQ(w.geometry(), QRect(5, 6, 300, 200));
}

TEST_F(WindowPositionTest, AFixedSizeWindowKeepsItsSize)
{
    IniFile i;
    i.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("XPosit"), QStringLiteral("70"));
    i.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("YPosit"), QStringLiteral("60"));
    i.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("Width"), QStringLiteral("900"));
    i.setValue(QStringLiteral("BrowseAccounts"), QStringLiteral("Height"), QStringLiteral("700"));
    i.save(ini());
    QWidget w;
    w.setFixedSize(250, 150);
    core::restoreWindowPosition(w, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(w.pos(), QPoint(70, 60));
    EXPECT_EQ(w.size(), QSize(250, 150));
}

TEST_F(WindowPositionTest, AMaximisedWindowIsStoredWithItsNormalPlaceAndReopensMaximised)
{
    QWidget w;
    w.setGeometry(100, 90, 320, 240);
    w.show();
    const QRect normal = w.geometry();
    w.showMaximized();
    core::saveWindowPosition(w, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_EQ(value("Maximize"), QStringLiteral("Yes"));
    EXPECT_EQ(value("Width"), QString::number(normal.width()));
    QWidget again;
    again.resize(50, 50);
    core::restoreWindowPosition(again, ini(), QStringLiteral("BrowseAccounts"));
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
    again.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(again.size(), normal.size()) << "restoring to normal returns to the stored size";
}

} // namespace
