#!/usr/bin/python3
# A screen reader's walk through Wirmelak over AT-SPI, for the accessibility
# test. Listening before the program starts, as a screen reader does, it asks
# the test to start it (a line "? program") and finds it on the bus; prints
# the main window's tree once the contacts are online; focuses Franek, asks
# for Tab and Shift+Tab ("? key ...") and hears the list's focus, then his;
# asks for him to leave ("? status 1006"), hears it as a notice and his item
# renamed and moved down; hears a message from Bartek ("? message 1002") as a
# notice; opens a contact's chat through the list item's action (hears the item
# selected and asks the list which is), asks for a message from that contact
# ("? message NUMBER") and waits for the conversation to announce it as an
# item that ends with TEXT and for its notice; presses "Dodaj znajomego"
# through its action and cancels the dialog that comes up; then presses
# "Usuń znajomego" and says no to the question. Every tree and every
# event it hears goes to stdout; a step that does not come within its time
# prints "! ..." with the program as it was, and ends with status 1.
#
# usage: ScreenReader.py CONTACT_NAME CONTACT_NUMBER TEXT

import sys

import pyatspi
from gi.repository import GLib

contact, number, text = sys.argv[1], sys.argv[2], sys.argv[3]
STATES = {pyatspi.STATE_SELECTED: "selected", pyatspi.STATE_FOCUSED: "focused",
          pyatspi.STATE_CHECKED: "checked", pyatspi.STATE_READ_ONLY: "read-only"}


def say(line):
    print(line, flush=True)


def children(acc):
    try:
        return [c for c in acc if c is not None]
    except Exception:
        return []


def describe(acc):
    states = acc.getState()
    words = [w for s, w in STATES.items() if states.contains(s)]
    line = '%s "%s"' % (acc.getRoleName(), acc.name)
    if acc.description:
        line += ' (%s)' % acc.description
    try:
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            line += ' [%s]' % ", ".join(names)
    except NotImplementedError:
        pass
    if words:
        line += ' {%s}' % " ".join(words)
    return line


# What a screen reader reaches: the objects that are showing.
def dump(acc, depth=0):
    say("  " * depth + describe(acc))
    for c in children(acc):
        if c.getState().contains(pyatspi.STATE_SHOWING):
            dump(c, depth + 1)


def find(acc, role, name=None, prefix=None):
    for c in children(acc):
        if c.getRoleName() == role and (name is None or c.name == name) and \
                (prefix is None or c.name.startswith(prefix)):
            return c
        found = find(c, role, name, prefix)
        if found:
            return found
    return None


def app():
    for a in children(pyatspi.Registry.getDesktop(0)):
        if a.name == "wirmelak":
            return a
    return None


def window(title):
    a = app()
    for w in children(a) if a else []:
        if w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def press(acc, what, index=0):
    action = acc.queryAction()
    say("> %s: %s" % (what, action.getName(index)))
    action.doAction(index)


def heard(event):
    if event.type.startswith("object:children-changed:add") and event.any_data is not None:
        say("event %s %s" % (event.type, describe(event.any_data)))
    elif event.type.startswith("object:property-change:accessible-name"):
        say('event %s %s "%s"' % (event.type, event.source.getRoleName(), event.source.name))
    elif event.type.startswith("object:state-changed:selected") and event.detail1 and \
            event.source.getRoleName() == "list item":
        say('event %s %s "%s"' % (event.type, event.source.getRoleName(), event.source.name))
    elif event.type.startswith("object:state-changed:showing") and event.detail1 and \
            event.source.getRoleName() == "notification":
        say('event %s notification "%s"' % (event.type, event.source.name))
    elif event.type.startswith("object:state-changed:focused") and event.detail1:
        say('event %s %s "%s"' % (event.type, event.source.getRoleName(), event.source.name))


def script():
    # Listening before the program is there: it sends only the events
    # someone listens to, and the names this library keeps are brought up to
    # date by those events alone.
    pyatspi.Registry.registerEventListener(heard, "object:children-changed", "object:property-change:accessible-name",
                                           "object:state-changed:selected", "object:state-changed:showing",
                                           "object:state-changed:focused")
    say("? program")
    yield "the program on the bus", 20, lambda: window("Wirmelak v1.2++")
    main = window("Wirmelak v1.2++")
    contacts = find(main, "list", "Znajomi")
    present = lambda: sum(1 for c in children(contacts) if ", niedostępny" not in c.name)
    # Darek's description comes last but one, Ewa's status says what it said.
    darek = lambda: any(c.name.startswith("Darek, niedostępny, w podróży") for c in children(contacts))
    yield "the contacts online", 20, lambda: present() >= 4 and darek()
    say("== main window")
    dump(main)
    # Franek focused, the focus taken away and back: the list's, then his.
    press(find(contacts, "list item", prefix="Franek,"), "Franek", 1)
    focused = lambda: [l for l in said if l.startswith("event object:state-changed:focused")]
    yield "Franek focused", 10, lambda: focused()[-1].startswith('event object:state-changed:focused list item "Franek,')
    say("? key Tab")
    yield "the focus on a button", 10, lambda: focused()[-1].startswith("event object:state-changed:focused push button")
    say("? key shift+Tab")
    yield "the focus back on Franek", 10, lambda: focused()[-1].startswith(
        'event object:state-changed:focused list item "Franek,')
    # The cast leaves Franek alone for a while once Darek has his status;
    # the focused contact's new status is a notice too.
    say("? status 1006")
    gone = "Franek, niedostępny, idę spać"
    yield "Franek's notice", 10, lambda: 'event object:state-changed:showing notification "%s"' % gone in said
    say("? message 1002")
    yield "Bartek's notice", 10, lambda: \
        'event object:state-changed:showing notification "Wiadomość od Bartek: Hej, tu Bartek"' in said
    names = lambda: [c.name for c in children(contacts)]
    yield "Franek's new status announced", 10, lambda: any(
        l == 'event object:property-change:accessible-name list item "%s"' % gone for l in said)
    yield "Franek among those away", 10, lambda: names().index(gone) > names().index(
        "Darek, niedostępny, w podróży, wracam w poniedziałek")
    yield "Franek's move announced", 10, lambda: any(
        l.startswith('event object:children-changed:add list item "%s"' % gone) for l in said)
    say("== the contacts after Franek's status")
    for c in children(contacts):
        say(describe(c))
    press(find(contacts, "list item", prefix=contact + ","), contact)
    # The list answers which contact is selected, as a table of one column.
    table = contacts.queryTable()
    yield "the contact selected", 5, lambda: table.nSelectedRows == 1
    say("selected in the list: %s" % table.getAccessibleAt(table.getSelectedRows()[0], 0).name)
    title = "%s (nr %s)" % (contact, number)
    yield "the chat window", 10, lambda: window(title)
    talk = find(window(title), "list", "Rozmowa")
    say("? message " + number)
    # The contact's own messages of the cast may come in between.
    yield "the message", 10, lambda: any(c.name.endswith(text) for c in children(talk))
    yield "its announcement", 5, lambda: any(l.startswith("event object:children-changed:add list item") and
                                             l.endswith(text + '" {read-only}') for l in said)
    yield "its notice", 5, lambda: any(l.startswith("event object:state-changed:showing notification") and
                                       l.endswith('%s: %s"' % (contact, text)) for l in said)
    say("== chat window")
    dump(window(title))
    press(find(main, "push button", "Dodaj znajomego"), "Dodaj znajomego")
    yield "the contact's data", 10, lambda: window("Dane znajomego")
    say("== contact's data")
    dump(window("Dane znajomego"))
    press(find(window("Dane znajomego"), "push button", "Anuluj"), "Anuluj")
    yield "the contact's data closed", 10, lambda: window("Dane znajomego") is None
    # The contact opened above is selected: removing it asks first.
    press(find(main, "push button", "Usuń znajomego"), "Usuń znajomego")
    question = "Pytanie do użytkownika"
    yield "the question", 10, lambda: window(question)
    say("== question")
    dump(window(question))
    press(find(window(question), "push button", "Nie"), "Nie")
    yield "the question closed", 10, lambda: window(question) is None
    say("== done")


said = []
_say = say


def say(line):  # noqa: F811 - the events are also kept, to be waited for
    said.append(line)
    _say(line)


steps = script()
status = [0]


def step():
    try:
        what, seconds, ready = next(steps)
    except StopIteration:
        pyatspi.Registry.stop()
        return False
    deadline = GLib.get_monotonic_time() + seconds * 1000000

    def poll():
        try:
            done = ready()
        except Exception:  # the object went away while it was looked at
            done = False
        if done:
            GLib.idle_add(step)
            return False
        if GLib.get_monotonic_time() > deadline:
            say("! no %s within %d s; the program as it was:" % (what, seconds))
            a = app()
            if a:
                dump(a)
            status[0] = 1
            pyatspi.Registry.stop()
            return False
        return True

    GLib.timeout_add(100, poll)
    return False


GLib.idle_add(step)
pyatspi.Registry.start()
sys.exit(status[0])
