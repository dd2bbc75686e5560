#pragma once
// The whole window framework in one include, for the program's own classes.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include "file/File.h"
#include "framework/CmdTarget.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ExceptionReport.h"
#include "framework/FileDialog.h"
#include "framework/ListCtrl.h"
#include "framework/MessageMap.h"
#include "framework/PaintDC.h"
#include "framework/ProgressCtrl.h"
#include "framework/Rect.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
