#include "console/gang_states.h"

#include <algorithm>

#include "console/gang.h"

CGangStates::CGangStates(WORD outputBusses)
    : m_Bytes(std::max<std::size_t>((outputBusses + 1u) / 2u, 1u), BYTE{1})
{
}

void CGangStates::Store(WORD bus, const TGang& gang)
{
    const std::size_t pair = bus / 2u;
    if (pair < m_Bytes.size()) m_Bytes[pair] = gang.Down() ? 1 : 0;
}

void CGangStates::Show(WORD bus, TGang& gang) const
{
    const std::size_t pair = bus / 2u;
    if (pair < m_Bytes.size()) gang.SetDown(m_Bytes[pair] != 0);
}

std::size_t CGangStates::Count(int n) const { return std::min(static_cast<std::size_t>(std::max(n, 0)), m_Bytes.size()); }

void CGangStates::CopyTo(BYTE* dst, int n) const { std::copy_n(m_Bytes.begin(), Count(n), dst); }

void CGangStates::CopyFrom(const BYTE* src, int n) { std::copy_n(src, Count(n), m_Bytes.begin()); }
