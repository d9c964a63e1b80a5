// The viewer's tests run with the off-screen platform and a scratch settings store.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char tmpl[] = "/tmp/velview-gui-XXXXXX";
    const char* home = mkdtemp(tmpl);
    if (home) setenv("XDG_CONFIG_HOME", home, 1);
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("VelView"));
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    if (home) {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    return rc;
}
