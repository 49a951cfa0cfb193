#pragma once

namespace fundora::app {

// Declares the data files the features keep beside the register's own four
// (so that every run opens them and carries them through an account's
// delete and renumbering), before the first data files are made.
void declareFeatureFiles();

// Registers the windows of every feature under their procedure names, as the program starts them.
void registerFeatureProcedures();

} // namespace fundora::app
