#pragma once
// The whole window framework in one include, for the program's own classes.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include "CmdTarget.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "ExceptionReport.h"
#include "File.h"
#include "FileDialog.h"
#include "ListCtrl.h"
#include "MessageMap.h"
#include "PaintDC.h"
#include "ProgressCtrl.h"
#include "Rect.h"
#include "String.h"
#include "WinApp.h"
#include "Wnd.h"
