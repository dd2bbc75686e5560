#include "framework/PaintDC.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(CWnd::GetSafeHwnd(pWnd))
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    if (m_hDC != NULL)
        ::EndPaint(m_hWnd, &m_ps);
}
