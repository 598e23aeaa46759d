#!/usr/bin/python3
# What a screen reader finds in the window program: starts it on a virtual display with a
# session bus of its own and Qt's accessibility bridge on, then walks the AT-SPI tree of
# the Settings dialog, each page of the main window, About, the address book and Sent
# jobs, and counts the controls that are showing, those with a name a reader can say
# (at least one letter: "<-" or ">>>" is punctuation) and those without. Exits 1 when
# any control is unnamed.
#
#   tests/gui/a11y-check.py build/parvelaclient [LANGUAGE]
#
# Needs xvfb-run, dbus-run-session, at-spi2-core and python3-pyatspi.
import os
import shutil
import subprocess
import sys
import tempfile
import time

CONTROL_ROLES = {
    'push button', 'toggle button', 'check box', 'radio button', 'combo box', 'text', 'entry',
    'password text', 'list', 'list box', 'table', 'tree table', 'tree', 'page tab', 'progress bar',
    'slider', 'spin button', 'menu item',
}

if os.environ.get('PARVELA_A11Y_INSIDE') != '1':
    # Once more inside a session bus and a virtual display.
    env = dict(os.environ, PARVELA_A11Y_INSIDE='1')
    sys.exit(subprocess.call(['dbus-run-session', '--', 'xvfb-run', '-a', '-s', '-screen 0 1600x1200x24',
                              '/usr/bin/python3', os.path.abspath(__file__)] + sys.argv[1:], env=env))

import pyatspi  # noqa: E402 (only inside the session)

program = os.path.abspath(sys.argv[1])
language = sys.argv[2] if len(sys.argv) > 2 else 'ENGLISH'
world = tempfile.mkdtemp(prefix='parvela-a11y-')
upload = os.path.join(world, 'upload')
os.makedirs(upload)
policy = os.path.join(world, 'parvelaclient.INI')
# The policy file is read as Windows-1252, as the Windows program reads it.
with open(policy, 'w', newline='', encoding='cp1252') as f:
    f.write(f'[Settings]\r\nSERVERUPLOAD={upload}\r\nMAXSIZE=1024\r\n[POLICIES]\r\nPOLICYVERSION=1\r\n'
            f'OUTLOOKADR=ENABLED\r\nDEFAULTLANGUAGE={language}\r\n')
data = os.path.join(world, 'data')
os.makedirs(os.path.join(data, 'Parvela'))
with open(os.path.join(data, 'Parvela', 'contacts.vcf'), 'w') as f:
    f.write('BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ada Example\r\nEMAIL:ada@example.org\r\nEND:VCARD\r\n')
env = dict(os.environ, HOME=world, XDG_CONFIG_HOME=os.path.join(world, 'config'), XDG_DATA_HOME=data,
           PARVELA_SYSTEM_POLICY=policy, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_ACCESSIBILITY='1')
env.pop('APPDATA', None)
env.pop('QT_QPA_PLATFORM', None)
# A copy of its own: a policy file beside the built program would win over ours.
copy = os.path.join(world, 'parvelaclient')
shutil.copy(program, copy)
proc = subprocess.Popen([copy], env=env)


def wait_for(find, what, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.3)
    raise SystemExit(f'a11y-check: {what} did not show')


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == 'parvelaclient':
            return app
    return None


def nodes(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def window(title_part):
    app = application()
    for i in range(app.childCount if app else 0):
        w = app.getChildAtIndex(i)
        if w is not None and showing(w) and title_part in (w.name or ''):
            return w
    return None


def find(root, role, name=None):
    for n in nodes(root):
        if n.getRoleName() == role and showing(n) and (name is None or n.name == name):
            return n
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ('Press', 'press', 'click', 'Toggle'):
            action.doAction(i)
            return
    action.doAction(0)


totals = {'showing': 0, 'named': 0, 'unnamed': 0}
failed = []


def count(label, root):
    shown = named = 0
    for n in nodes(root):
        if n.getRoleName() in CONTROL_ROLES and showing(n):
            shown += 1
            if any(c.isalpha() for c in (n.name or '')):
                named += 1
            else:
                failed.append(f'{label}: {n.getRoleName()} "{n.name}" in "{n.parent.name if n.parent else ""}"')
    print(f'{label:<24} showing controls {shown:3}  named {named:3}  unnamed {shown - named:3}')
    totals['showing'] += shown
    totals['named'] += named
    totals['unnamed'] += shown - named


try:
    wait_for(application, 'the program')
    # The first start opens Settings over the main window.
    settings = wait_for(lambda: window('Settings') or window('Einstellungen') or window('Instellingen')
                        or window('Param') or window('Inst\u00e4llning'), 'Settings')
    time.sleep(1)
    count('Settings', settings)
    press(find(settings, 'push button', 'OK'))
    time.sleep(1)
    main = wait_for(lambda: window('Parvela'), 'the main window')
    tabs = wait_for(lambda: [n for n in nodes(main) if n.getRoleName() == 'page tab'], 'the page tabs')
    for tab in tabs:
        press(tab)
        time.sleep(1)
        count(f'page "{tab.name}"', main)
    # The Send page is the last: Sent jobs is in its strip.
    titles = ('Sent jobs', 'Verzonden opdrachten', 'Gesendete Auftr\u00e4ge', 'Envois effectu\u00e9s', 'Skickade jobb')
    press(wait_for(lambda: next((n for n in nodes(main) if n.getRoleName() == 'push button' and showing(n)
                                 and n.name in titles), None), 'Sent jobs'))
    time.sleep(1.5)
    sent = wait_for(lambda: next((w for w in application() if w is not None and showing(w) and w is not main
                                  and w.name != main.name), None), 'Sent jobs')
    count(f'window "{sent.name}"', sent)
    press(find(sent, 'push button'))  # its only button: Close
    time.sleep(1)
    press(tabs[0])
    time.sleep(0.5)
    press(find(main, 'push button', 'About'))
    about = wait_for(lambda: window('About'), 'About')
    time.sleep(0.5)
    count('About', about)
    press(find(about, 'push button', 'OK'))
    time.sleep(0.5)
    press(tabs[2])
    time.sleep(1)
    book = next(n for n in nodes(main) if n.getRoleName() == 'push button' and showing(n)
                and n.name in ('Addressbook', 'Adresboek', 'Adressbuch', "Carnet d'adresse", 'Adressbok'))
    press(book)
    picker = wait_for(lambda: next((w for w in application() if w is not None and showing(w)
                                    and w.name != main.name), None), 'the address book')
    time.sleep(1)
    count(f'window "{picker.name}"', picker)
    print(f'{"all":<24} showing controls {totals["showing"]:3}  named {totals["named"]:3}  '
          f'unnamed {totals["unnamed"]:3}')
    for line in failed:
        print('  unnamed:', line)
finally:
    proc.kill()
    proc.wait()
    shutil.rmtree(world, ignore_errors=True)
sys.exit(1 if totals['unnamed'] else 0)
