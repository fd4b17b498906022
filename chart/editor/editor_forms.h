// The editor forms of the series, function and tool types, registered by class name so that the
// series, data-source and tools pages find the form a type names.
#pragma once

// Registers every editor form class; a second call does nothing.
void RegisterEditorForms();
