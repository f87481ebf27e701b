#include "framework/Menu.h"

#include <memory>
#include <vector>

#include "framework/WindowRegistry.h"

bool Menu::CreateBar()
{
    Attach(CreateMenu(), true);
    return m_menu != nullptr;
}

bool Menu::CreatePopup()
{
    Attach(CreatePopupMenu(), true);
    return m_menu != nullptr;
}

bool Menu::Load(HINSTANCE instance, const char* name)
{
    Attach(LoadMenuA(instance, name), true);
    return m_menu != nullptr;
}

bool Menu::LoadIndirect(const void* menuTemplate)
{
    Attach(menuTemplate ? LoadMenuIndirectA(menuTemplate) : nullptr, true);
    return m_menu != nullptr;
}

void Menu::Attach(HMENU menu, bool owned)
{
    Destroy();
    m_menu = menu;
    m_owned = menu && owned;
}

HMENU Menu::Detach()
{
    HMENU menu = m_menu;
    m_menu = nullptr;
    m_owned = false;
    return menu;
}

void Menu::Destroy()
{
    if (m_menu && m_owned) DestroyMenu(m_menu);
    m_menu = nullptr;
    m_owned = false;
}

BOOL Menu::Append(UINT flags, UINT_PTR idOrPopup, const char* text)
{
    return AppendMenuA(m_menu, flags, idOrPopup, text);
}

BOOL Menu::Insert(UINT position, UINT flags, UINT_PTR idOrPopup, const char* text)
{
    return InsertMenuA(m_menu, position, flags, idOrPopup, text);
}

BOOL Menu::Modify(UINT position, UINT flags, UINT_PTR idOrPopup, const char* text)
{
    return ModifyMenuA(m_menu, position, flags, idOrPopup, text);
}

BOOL Menu::Delete(UINT position, UINT flags)
{
    return DeleteMenu(m_menu, position, flags);
}

BOOL Menu::Remove(UINT position, UINT flags)
{
    return RemoveMenu(m_menu, position, flags);
}

DWORD Menu::Check(UINT item, UINT flags)
{
    return CheckMenuItem(m_menu, item, flags);
}

BOOL Menu::RadioCheck(UINT first, UINT last, UINT check, UINT flags)
{
    return CheckMenuRadioItem(m_menu, first, last, check, flags);
}

BOOL Menu::Enable(UINT item, UINT flags)
{
    return EnableMenuItem(m_menu, item, flags);
}

BOOL Menu::SetDefaultItem(UINT item, UINT byPosition)
{
    return SetMenuDefaultItem(m_menu, item, byPosition);
}

int Menu::ItemCount() const
{
    return GetMenuItemCount(m_menu);
}

UINT Menu::ItemId(int position) const
{
    return GetMenuItemID(m_menu, position);
}

UINT Menu::State(UINT item, UINT flags) const
{
    return GetMenuState(m_menu, item, flags);
}

std::string Menu::Text(UINT item, UINT flags) const
{
    int length = GetMenuStringA(m_menu, item, nullptr, 0, flags);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetMenuStringA(m_menu, item, buffer.data(), length + 1, flags);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

Menu* Menu::SubMenu(int position) const
{
    return FromHandle(GetSubMenu(m_menu, position));
}

BOOL Menu::TrackPopup(UINT flags, int x, int y, HWND owner)
{
    return TrackPopupMenu(m_menu, flags, x, y, 0, owner, nullptr);
}

Menu* Menu::FromHandle(HMENU menu)
{
    if (!menu || !WindowRegistry::Instance().OnUserInterfaceThread()) return nullptr;
    auto wrapper = std::make_unique<Menu>();
    wrapper->Attach(menu, false);
    return WindowRegistry::Instance().AddTemporary(std::move(wrapper));
}
