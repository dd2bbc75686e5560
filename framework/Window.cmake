# The Windows window framework (CString, CWnd, CDialog, message maps, controls).
