#include "engine/browser/page_scripts.h"

namespace engine::page_scripts {

QString IsolatedHelper() {
  // Collections are arrays kept here under a number; the engine addresses an element as
  // (collection, index) and reads a property for a whole collection in one call, so a walk of
  // a large page costs a few round trips instead of one per element.
  // Kind bits: 1 anchor, 2 image, 4 select, 8 option, 16 input, 32 input button, 64 button.
  return QStringLiteral(R"JS(
(() => {
  if (globalThis.__gantrell) return true;
  const lists = new Map();
  let next = 1;
  const kindOf = (e) => {
    let k = 0;
    if (e instanceof HTMLAnchorElement) k |= 1;
    if (e instanceof HTMLImageElement) k |= 2;
    if (e instanceof HTMLSelectElement) k |= 4;
    if (e instanceof HTMLOptionElement) k |= 8;
    if (e instanceof HTMLInputElement) {
      k |= 16;
      const t = String(e.type).toLowerCase();
      if (t === 'button' || t === 'submit' || t === 'reset' || t === 'image') k |= 32;
    }
    if (e instanceof HTMLButtonElement) k |= 64;
    return k;
  };
  const register = (elements) => {
    const id = next++;
    lists.set(id, elements);
    return [id, elements.map(kindOf)];
  };
  const listOf = (list) => {
    const l = lists.get(list);
    if (!l) throw new Error('collection released');
    return l;
  };
  const element = (list, index) => {
    const e = listOf(list)[index];
    if (!e) throw new Error('no such element');
    return e;
  };
  const str = (v) => (typeof v === 'string' ? v : '');
  const num = (v) => (typeof v === 'number' ? v : 0);
  const readers = {
    innerText: (e) => str(e instanceof HTMLElement ? e.innerText : e.textContent),
    outerHTML: (e) => str(e.outerHTML),
    id: (e) => str(e.id),
    href: (e) => str(e.href),
    src: (e) => str(e.src),
    value: (e) => (e.value === undefined || e.value === null ? '' : String(e.value)),
    offsetLeft: (e) => num(e.offsetLeft),
    offsetTop: (e) => num(e.offsetTop),
    offsetWidth: (e) => num(e.offsetWidth),
    text: (e) => str(e instanceof HTMLOptionElement ? e.text : e.textContent),
  };
  const reader = (prop) => {
    const r = readers[prop];
    if (!r) throw new Error('unknown property ' + prop);
    return r;
  };
  let scrolling = false;
  // A held page: the navigations it starts itself are cancelled right here, before they reach
  // the browser. Those started inside an engine call go back with the call's answer; those
  // of the page's own timers belong to no call and are only cancelled. Same-document moves
  // (fragments, history entries) never leave the page and are let be, as is anything that
  // cannot be cancelled here (the browser-side interception sees it). A link to a download
  // counts as the navigation it starts.
  let holding = false;
  let inCall = false;
  const held = [];
  if (globalThis.navigation) {
    navigation.addEventListener('navigate', (e) => {
      if (!holding || !e.cancelable || e.defaultPrevented || e.destination.sameDocument) return;
      if (inCall) held.push(e.destination.url);
      e.preventDefault();
    });
  }
  globalThis.__gantrell = {
    title: () => String(document.title),
    lang: () => {
      const root = document.documentElement;
      let tag = root ? root.getAttribute('lang') : null;
      if (!tag) {
        for (const meta of document.querySelectorAll('meta[http-equiv]')) {
          if (String(meta.httpEquiv).toLowerCase() !== 'content-language') continue;
          tag = meta.getAttribute('content');
          break;
        }
      }
      return typeof tag === 'string' ? tag.slice(0, 64) : '';
    },
    text: () => (document.documentElement ? str(document.documentElement.innerText) : ''),
    all: () => register(Array.from(document.getElementsByTagName('*'))),
    byTag: (tag) => register(Array.from(document.getElementsByTagName(tag))),
    byId: (id) => {
      const e = document.getElementById(id);
      return e ? register([e]) : null;
    },
    release: (ids) => { for (const id of ids) lists.delete(id); },
    // Runs one operation; answers [its value, the held page's navigations it started].
    call: (hold, op, args) => {
      holding = hold === true;
      const f = globalThis.__gantrell[op];
      if (typeof f !== 'function') throw new Error('unknown operation ' + op);
      held.length = 0;
      inCall = true;
      try {
        const value = f(...args);
        return [value === undefined ? null : value, held.splice(0)];
      } finally {
        inCall = false;
      }
    },
    idle: () => null,
    column: (list, prop) => listOf(list).map(reader(prop)),
    read: (list, index, prop) => reader(prop)(element(list, index)),
    setValue: (list, index, value) => {
      const e = element(list, index);
      if (!('value' in e)) throw new Error('element has no value');
      e.value = value;
    },
    setSelectedIndex: (list, index, i) => {
      const e = element(list, index);
      if (!(e instanceof HTMLSelectElement)) throw new Error('not a select element');
      e.selectedIndex = i;
    },
    options: (list, index) => {
      const e = element(list, index);
      if (!(e instanceof HTMLSelectElement)) throw new Error('not a select element');
      return register(Array.from(e.options));
    },
    click: (list, index) => {
      const e = element(list, index);
      if (typeof e.click !== 'function') throw new Error('element cannot be clicked');
      e.click();
    },
    // Scrolls the page down to its end in steps a little shorter than the viewport, one step
    // per 30 ms, so every part of it is on screen for at least one frame: scroll handlers and
    // intersection observers of lazy images see it. Returns at once; runs once per world.
    scrollThrough: () => {
      if (scrolling) return;
      scrolling = true;
      let y = 0;
      let steps = 0;
      const step = () => {
        const root = document.scrollingElement || document.documentElement;
        const height = root ? root.scrollHeight : 0;
        y += Math.max(200, Math.floor(innerHeight * 0.8));
        window.scrollTo(0, y);
        if (y < height && ++steps < 2000) setTimeout(step, 30);
      };
      step();
    },
    fire: (list, index, name, keyCode) => {
      const e = element(list, index);
      const type = String(name).replace(/^on/i, '').toLowerCase();
      let event;
      if (type === 'keypress' || type === 'keydown' || type === 'keyup') {
        const key = keyCode === 13 ? 'Enter' : String.fromCharCode(keyCode);
        event = new KeyboardEvent(type, { bubbles: true, cancelable: true, keyCode,
                                          charCode: type === 'keypress' ? keyCode : 0,
                                          which: keyCode, key, view: window });
      } else {
        event = new Event(type, { bubbles: true, cancelable: true });
      }
      return e.dispatchEvent(event);
    },
  };
  return true;
})()
)JS");
}

QString CallOperation() {
  return QStringLiteral(
      "function(release, hold, op, args) {"
      "  const g = globalThis.__gantrell;"
      "  if (release.length) g.release(release);"
      "  return g.call(hold, op, args);"
      "}");
}

QString EmptyExternal() {
  return QStringLiteral(R"JS(
(() => {
  try {
    Object.defineProperty(window, 'external', {
      value: Object.freeze(Object.create(null)), writable: false, configurable: false });
  } catch (e) {}
})();
)JS");
}

} // namespace engine::page_scripts
