// Bringing a wave configuration the dialog has sent into effect: a reboot
// on Windows 95/98/Me, otherwise a restart of the card driver in place when
// no other program uses the card and the user agrees, else the next restart
// of the computer.
#pragma once

class TWaveConfig;

void BringWaveConfigIntoEffect(TWaveConfig& dialog);
