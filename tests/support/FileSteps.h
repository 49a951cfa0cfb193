#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace fundora::test {

// The environment that preloads the file-step shim (tests/shim/FileStepShim.cpp,
// at `shim`) into a program, counting its steps below `directory`. The callers
// add FUNDORA_STEP_KILL, FUNDORA_STEP_LOG or FUNDORA_STEP_FULL.
inline QProcessEnvironment fileStepEnvironment(const QString& shim, const QString& directory)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), shim);
    // The sanitizers' runtime need not come first when a shim is preloaded.
    env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    env.insert(QStringLiteral("FUNDORA_STEP_DIR"), directory);
    return env;
}

} // namespace fundora::test
