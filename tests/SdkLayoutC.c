/* The plug-in SDK header compiled as C: its layout as a C compiler sees it. */
#include "app/sdk/TarnwickPlugin.h"

void TwSdkLayoutC(unsigned* values)
{
    values[0] = (unsigned)sizeof(PluginInfo);
    values[1] = (unsigned)offsetof(PluginInfo, dwVersion);
    values[2] = (unsigned)offsetof(PluginInfo, dwSize);
    values[3] = (unsigned)offsetof(PluginInfo, pszName);
    values[4] = (unsigned)offsetof(PluginInfo, pszDescription);
    values[5] = (unsigned)offsetof(PluginInfo, nKind);
    values[6] = (unsigned)offsetof(PluginInfo, hwndMain);
    values[7] = (unsigned)offsetof(PluginInfo, hModule);
    values[8] = (unsigned)offsetof(PluginInfo, dwReserved);
    values[9] = (unsigned)offsetof(PluginInfo, Initialize);
    values[10] = (unsigned)offsetof(PluginInfo, Finalize);
    values[11] = (unsigned)offsetof(PluginInfo, Configure);
    values[12] = (unsigned)offsetof(PluginInfo, Execute);
    values[13] = (unsigned)offsetof(PluginInfo, About);
    values[14] = (unsigned)offsetof(PluginInfo, pData);
    values[15] = (unsigned)offsetof(PluginInfo, nCount);
    values[16] = (unsigned)offsetof(PluginInfo, wLanguageId);
    values[17] = (unsigned)offsetof(PluginInfo, abUnused);
}
