#pragma once

#include <QString>

namespace fundora::platform {

// The directory of the files installed with the programs (the compressor's
// launcher, the help pages, the report pictures): <prefix>/share/fundora,
// found from where the running program lies (<prefix>/bin), so that an
// installation can be moved as a whole. In a build tree it is
// <build>/share/fundora, which the build fills the same way.
QString installedDataDirectory();

// The installed file `name`, or an empty text when it is not there.
QString installedDataFile(const QString& name);

} // namespace fundora::platform
