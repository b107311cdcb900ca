#!/bin/sh
# Installs the udev rule that lets the logged-in user open the instrument's
# USB adapter, then tells udev to apply it.
set -eu
cd "$(dirname "$0")"
sudo install -m 0644 70-rz37m-connect.rules /etc/udev/rules.d/70-rz37m-connect.rules
sudo udevadm control --reload-rules
sudo udevadm trigger --subsystem-match=tty --attr-match=idVendor=0403 || true
echo "Done. Unplug the instrument's adapter and plug it in again."
