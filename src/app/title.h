// The main window's title: the document's name, its modified mark and the program name.
#pragma once

void UpdateTitle();
