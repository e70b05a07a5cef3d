#include "engine/browser/page_scripts.h"

namespace engine::page_scripts {

QString IsolatedHelper() {
  // Collections are arrays kept here under a number; the engine addresses an element as
  // (collection, index) and reads a property for a whole collection in one call, so a walk of
  // a large page costs a few round trips instead of one per element.
  // Kind bits: 1 anchor, 2 image, 4 select, 8 option, 16 input, 32 input button, 64 button,
  // 128 canvas.
  return QStringLiteral(R"JS(
(() => {
  if (globalThis.__gantrell) return true;
  const lists = new Map();
  const blobs = new Map();
  let next = 1;
  // An element of a frame of the page belongs to that frame's window: the classes it is an
  // instance of are that window's own.
  const isA = (e, name) => {
    if (!e || typeof e !== 'object') return false;
    if (e instanceof globalThis[name]) return true;
    const view = e.ownerDocument && e.ownerDocument.defaultView;
    return !!view && typeof view[name] === 'function' && e instanceof view[name];
  };
  // The page's elements in document order: the top document's first, then, depth-first in
  // document order, those of its open shadow roots and of its frames of the same site (their
  // hosts' order decides). Frames of another site are out of reach here (see foreignFrame).
  const deepElements = () => {
    const found = [];
    const walk = (root, depth) => {
      const own = Array.from(root.querySelectorAll('*'));
      found.push(...own);
      if (depth > 8) return;
      for (const e of own) {
        if (e.shadowRoot) walk(e.shadowRoot, depth + 1);
        if (e.localName !== 'iframe' && e.localName !== 'frame') continue;
        let inner = null;
        try { inner = e.contentDocument; } catch (x) { inner = null; }
        if (inner && inner.documentElement) walk(inner, depth + 1);
      }
    };
    walk(document, 0);
    return found;
  };
  const kindOf = (e) => {
    let k = 0;
    if (isA(e, 'HTMLAnchorElement')) k |= 1;
    if (isA(e, 'HTMLImageElement')) k |= 2;
    if (isA(e, 'HTMLSelectElement')) k |= 4;
    if (isA(e, 'HTMLOptionElement')) k |= 8;
    if (isA(e, 'HTMLInputElement')) {
      k |= 16;
      const t = String(e.type).toLowerCase();
      if (t === 'button' || t === 'submit' || t === 'reset' || t === 'image') k |= 32;
    }
    if (isA(e, 'HTMLButtonElement')) k |= 64;
    if (isA(e, 'HTMLCanvasElement')) k |= 128;
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
  // Every element of the page in document order: the one walk that the searches for controls
  // and rows share.
  const pageElements = deepElements;
  const textOf = (e) => str(isA(e, 'HTMLElement') ? e.innerText : e.textContent);
  const attr = (e, name) => str(e.getAttribute ? e.getAttribute(name) : null).trim();
  const roleOf = (e) => attr(e, 'role').toLowerCase().split(/\s+/)[0];
  const hasClass = (e, name) => !!(e && e.classList && e.classList.contains(name));
  const isInputButton = (e) => (kindOf(e) & 32) !== 0;
  // What a click acts on: a link with an address, a button, an element with such a role.
  const isPressable = (e) =>
    (isA(e, 'HTMLAnchorElement') && e.hasAttribute('href')) || isA(e, 'HTMLButtonElement') ||
    isInputButton(e) || roleOf(e) === 'button' || roleOf(e) === 'link';
  const isControl = (e) =>
    isA(e, 'HTMLAnchorElement') || isPressable(e) || attr(e, 'aria-label') !== '' ||
    attr(e, 'title') !== '';
  // An item that wraps only `e` (a list item or span around a link) shares its state.
  const wrapperOf = (e) => {
    const p = e.parentElement;
    return p && p !== document.body && p.children.length === 1 && textOf(p).trim() === textOf(e).trim()
      ? p : null;
  };
  const isDisabled = (e) => {
    if (typeof e.matches === 'function' && e.matches(':disabled')) return true;
    const marked = (x) => !!x && (attr(x, 'aria-disabled').toLowerCase() === 'true' || hasClass(x, 'disabled'));
    return marked(e) || marked(wrapperOf(e));
  };
  const labelsOf = (e) => {
    const out = [];
    const own = (isInputButton(e) ? str(e.value) : textOf(e)).trim();
    if (own) out.push(own);
    for (const name of ['aria-label', 'title']) if (attr(e, name)) out.push(attr(e, name));
    if (!own) {
      const images = e.getElementsByTagName ? e.getElementsByTagName('img') : [];
      if (images.length === 1 && attr(images[0], 'alt')) out.push(attr(images[0], 'alt'));
    }
    return out;
  };
  const isCurrent = (e) => {
    const current = attr(e, 'aria-current').toLowerCase();
    return (current !== '' && current !== 'false') ||
      ['current', 'active', 'selected'].some((c) => hasClass(e, c));
  };
  // Whether `e` shows across the viewport: laid out, visible, and not moved out to the side
  // (a slider parks the pages it does not show there).
  const isShown = (e) => {
    if (e.getClientRects().length === 0) return false;
    const style = getComputedStyle(e);
    if (style.visibility !== 'visible' || Number(style.opacity) === 0) return false;
    const r = e.getBoundingClientRect();
    return r.right > 0 && r.left < innerWidth;
  };
  const clampPixel = (x) => Math.max(0, Math.min(x, 1e6));
  const absolute = (u, base = document.baseURI) => {
    try { return new URL(u, base).href; } catch (e) { return ''; }
  };
  // A srcset attribute as [{url, w, x}]: addresses may hold commas (data: addresses), so an
  // address runs to the next blank, and its descriptors to the next comma.
  const parseSrcset = (text, base) => {
    const s = str(text);
    const out = [];
    let i = 0;
    while (i < s.length) {
      while (i < s.length && /[\s,]/.test(s[i])) i++;
      let j = i;
      while (j < s.length && !/\s/.test(s[j])) j++;
      let url = s.slice(i, j);
      let descriptors = '';
      if (/,$/.test(url)) {
        url = url.replace(/,+$/, '');
        i = j;
      } else {
        let k = j;
        for (let depth = 0; k < s.length && !(s[k] === ',' && depth === 0); k++)
          depth += s[k] === '(' ? 1 : s[k] === ')' ? -1 : 0;
        descriptors = s.slice(j, k);
        i = k + 1;
      }
      if (!url) continue;
      const candidate = { url: absolute(url, base), w: 0, x: 1 };
      for (const d of descriptors.trim().split(/\s+/)) {
        const m = /^(\d+(?:\.\d+)?)([wx])$/i.exec(d);
        if (m) candidate[m[2].toLowerCase()] = parseFloat(m[1]);
      }
      if (candidate.url) out.push(candidate);
    }
    return out;
  };
  // Formats a page image may come in; a <picture> source of any other type is passed over.
  const decodableType = (type) =>
    !type || /^image\/(jpeg|jpg|png|gif|webp|bmp)$/i.test(String(type).trim());
  const lazyAttributes = ['data-src', 'data-lazy-src', 'data-original'];
  // The largest picture an img offers (see FIHTMLElement::imageSource). A lazy loader's
  // address stands for src until the loader has put it there; only a blob: address is the
  // reader's own picture already.
  const imageSource = (e) => {
    if (!(isA(e, 'HTMLImageElement'))) return str(e.src);
    let base = str(e.src);
    const lazy = lazyAttributes.map((a) => e.getAttribute(a)).find((v) => v && v.trim());
    if (lazy && !/^blob:/i.test(base)) base = absolute(lazy.trim(), e.baseURI) || base;
    const candidates = base ? [{ url: base, w: 0, x: 1 }] : [];
    candidates.push(...parseSrcset(e.getAttribute('srcset'), e.baseURI),
                    ...parseSrcset(e.getAttribute('data-srcset'), e.baseURI));
    const picture = e.parentElement;
    if (picture && picture.tagName === 'PICTURE') {
      for (const source of picture.children) {
        if (source.tagName !== 'SOURCE' || !decodableType(source.getAttribute('type'))) continue;
        candidates.push(...parseSrcset(source.getAttribute('srcset'), e.baseURI),
                        ...parseSrcset(source.getAttribute('data-srcset'), e.baseURI));
      }
    }
    const widths = candidates.filter((c) => c.w > 0);
    const pool = widths.length ? widths : candidates;
    let best = null;
    for (const c of pool)
      if (!best || (widths.length ? c.w > best.w : c.x > best.x)) best = c;
    return best ? best.url : '';
  };
  const readers = {
    innerText: (e) => str(isA(e, 'HTMLElement') ? e.innerText : e.textContent),
    outerHTML: (e) => str(e.outerHTML),
    id: (e) => str(e.id),
    href: (e) => str(e.href),
    src: (e) => str(e.src),
    imageSource,
    value: (e) => (e.value === undefined || e.value === null ? '' : String(e.value)),
    offsetLeft: (e) => num(e.offsetLeft),
    offsetTop: (e) => num(e.offsetTop),
    offsetWidth: (e) => num(e.offsetWidth),
    offsetHeight: (e) => num(e.offsetHeight),
    text: (e) => str(isA(e, 'HTMLOptionElement') ? e.text : e.textContent),
    labels: labelsOf,
    disabled: isDisabled,
    linkHref: (e) => {
      const link = typeof e.closest === 'function' ? e.closest('a[href]') : null;
      return link ? str(link.href) : '';
    },
  };
  const reader = (prop) => {
    const r = readers[prop];
    if (!r) throw new Error('unknown property ' + prop);
    return r;
  };
  // The long-page scroll: what it has seen so far, and whether it is over (scrollThrough).
  let strip = null;
  // The image addresses the page shows now, in document order.
  const shownImages = () => {
    const shown = [];
    for (const img of deepElements()) {
      if (img.localName !== 'img') continue;
      const u = imageSource(img);
      if (u) shown.push(u);
    }
    return shown;
  };
  // Adds the addresses of `shown` (in document order) to `seen` (in reading order), each where
  // it stands among its neighbours: after the one before it, else before the one after it.
  // Images a list removed stay in `seen`; an address shown twice counts once.
  const mergeSeen = (seen, shown) => {
    let after = -1;
    for (let i = 0; i < shown.length; i++) {
      const known = seen.indexOf(shown[i]);
      if (known >= 0) {
        after = known;
        continue;
      }
      if (after < 0) {
        let next = -1;
        for (let j = i + 1; j < shown.length && next < 0; j++) next = seen.indexOf(shown[j]);
        after = next < 0 ? seen.length - 1 : next - 1;
      }
      seen.splice(after + 1, 0, shown[i]);
      after += 1;
    }
  };
  // What scrolls the page: the document, or else the element with the most to scroll (a
  // reader whose list scrolls inside a box of its own).
  const scroller = () => {
    const root = document.scrollingElement || document.documentElement;
    if (!root || root.scrollHeight > innerHeight + 1) {
      return { top: () => scrollY, height: () => (root ? root.scrollHeight : 0),
               view: () => innerHeight,
               to: (y) => window.scrollTo({ top: y, behavior: 'instant' }) };
    }
    let best = null, most = 0;
    for (const e of document.body ? document.body.getElementsByTagName('*') : []) {
      const more = e.scrollHeight - e.clientHeight;
      if (more <= most || e.clientHeight === 0) continue;
      const y = getComputedStyle(e).overflowY;
      if (y !== 'auto' && y !== 'scroll' && y !== 'overlay') continue;
      best = e;
      most = more;
    }
    if (!best) best = root;
    return { top: () => best.scrollTop, height: () => best.scrollHeight,
             view: () => best.clientHeight,
             to: (y) => best.scrollTo({ top: y, behavior: 'instant' }) };
  };
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
    // The page's text, and after it that of its frames of the same site.
    text: () => {
      const texts = [];
      const frames = deepElements().filter((e) => e.localName === 'html' && e.ownerDocument !== document);
      for (const e of [document.documentElement, ...frames]) if (e) texts.push(str(e.innerText));
      return texts.join('\n');
    },
    all: () => register(deepElements()),
    byTag: (tag) => {
      const name = str(tag).toLowerCase();
      return register(deepElements().filter((e) => e.localName === name));
    },
    // The address of the largest frame of another site that takes a page's room (at least
    // 301 x 401 CSS pixels), whose document is out of reach here; '' when there is none.
    foreignFrame: () => {
      let best = '', most = 0;
      for (const e of deepElements()) {
        if (e.localName !== 'iframe' && e.localName !== 'frame') continue;
        let reachable = false;
        try { reachable = !!e.contentDocument; } catch (x) { reachable = false; }
        const r = e.getBoundingClientRect();
        const address = str(e.src);
        if (reachable || r.width < 301 || r.height < 401 || !/^https?:/i.test(address)) continue;
        if (r.width * r.height > most) { best = address; most = r.width * r.height; }
      }
      return best;
    },
    backgrounds: () => {
      const found = [];
      const urls = /url\(\s*(?:"((?:[^"\\]|\\.)*)"|'((?:[^'\\]|\\.)*)'|([^)\s]*))\s*\)/g;
      const take = (style) => {
        const image = style ? str(style.backgroundImage) : '';
        if (!image.includes('url(')) return;
        for (const m of image.matchAll(urls)) {
          const u = absolute(String(m[1] ?? m[2] ?? m[3] ?? '').replace(/\\(.)/g, '$1'));
          if (u && !found.includes(u)) found.push(u);
        }
      };
      for (const e of deepElements()) {
        if (isA(e, 'HTMLImageElement') || e.getClientRects().length === 0) continue;
        take(getComputedStyle(e));
        take(getComputedStyle(e, '::before'));
        take(getComputedStyle(e, '::after'));
      }
      return found;
    },
    byId: (id) => {
      const e = document.getElementById(id) || deepElements().find((x) => x.id === id);
      return e ? register([e]) : null;
    },
    release: (ids) => { for (const id of ids) lists.delete(id); },
    url: () => String(location.href),
    controls: () => register(pageElements().filter(isControl)),
    // Containers with three or more short child items holding a digit: [list id, kinds, rows],
    // each row [context, items], each item [text, element index or -1, link, current,
    // disabled, href]. Text between the elements counts word by word.
    itemRows: () => {
      const elements = [];
      const rows = [];
      const short = (t) => t.length <= 16 && /\d/.test(t);
      const squeeze = (t) => t.replace(/\s+/g, ' ').trim();
      for (const box of pageElements()) {
        if (box.children.length < 2 || /^(table|thead|tbody|tfoot|tr|select|script|style|head|html|body)$/.test(box.localName)) continue;
        // A row of page numbers holds short items only; a box with a paragraph in it is none
        // (and its text is not worth walking).
        const items = [];
        let ownText = 0;
        let long = false;
        for (const node of box.childNodes) {
          if (node.nodeType === Node.TEXT_NODE) {
            const words = str(node.textContent);
            ownText += words.length;
            for (const word of words.split(/\s+/)) if (word) items.push([word, null]);
          } else if (node.nodeType === Node.ELEMENT_NODE && !/^(script|style|br|template)$/.test(node.localName)) {
            if (str(node.textContent).length > 64) { long = true; break; }
            const text = squeeze(textOf(node));
            if (!text) continue;
            let target = node;
            if (!isPressable(node)) {
              const inner = node.querySelectorAll('a[href],button,[role=button],[role=link]');
              if (inner.length === 1 && squeeze(textOf(inner[0])) === text) target = inner[0];
            }
            items.push([text, target]);
          }
          if (ownText > 200) { long = true; break; }
        }
        if (long || items.filter((i) => short(i[0])).length < 3) continue;
        const context = [];
        for (let e = box, up = 0; e && up < 3; e = e.parentElement, ++up)
          context.push(typeof e.className === 'string' ? e.className : '', str(e.id));
        rows.push([squeeze(context.join(' ')), items.map(([text, e]) => {
          if (!e) return [text, -1, false, false, false, ''];
          elements.push(e);
          const wrapper = wrapperOf(e);
          return [text, elements.length - 1, isPressable(e), isCurrent(e) || (!!wrapper && isCurrent(wrapper)),
                  isDisabled(e), isA(e, 'HTMLAnchorElement') ? str(e.href) : ''];
        })]);
      }
      const [id, kinds] = register(elements);
      return [id, kinds, rows];
    },
    imageShown: (url) => {
      let found = false;
      for (const img of deepElements()) {
        if (img.localName !== 'img') continue;
        if (str(img.src) !== url && str(img.currentSrc) !== url) continue;
        if (isShown(img)) return 2;
        found = true;
      }
      return found ? 1 : 0;
    },
    // Runs one operation; answers [its value, the held page's navigations it started].
    call: (hold, op, args) => {
      holding = hold === true;
      const f = globalThis.__gantrell[op];
      if (typeof f !== 'function') throw new Error('unknown operation ' + op);
      held.length = 0;
      inCall = true;
      try {
        const value = f(...args);
        const navigations = held.splice(0);
        if (value instanceof Promise)
          return value.then((v) => [v === undefined ? null : v, navigations]);
        return [value === undefined ? null : value, navigations];
      } finally {
        inCall = false;
      }
    },
    idle: () => null,
    // The bytes behind a blob: address of the page, read once and handed out in pieces of
    // base64: [id, size], or null when the address holds nothing or more than `limit` bytes.
    readBlob: async (url, limit) => {
      if (!/^blob:/i.test(str(url))) return null;
      const answer = await fetch(url);
      if (!answer.ok) return null;
      const bytes = new Uint8Array(await answer.arrayBuffer());
      if (bytes.length > limit) return null;
      const id = next++;
      blobs.set(id, bytes);
      return [id, bytes.length];
    },
    blobPiece: (id, offset, length) => {
      const bytes = blobs.get(id);
      if (!bytes) throw new Error('blob released');
      const piece = bytes.subarray(offset, offset + length);
      let text = '';
      for (let i = 0; i < piece.length; i += 0x8000)
        text += String.fromCharCode.apply(null, piece.subarray(i, i + 0x8000));
      return btoa(text);
    },
    dropBlob: (id) => { blobs.delete(id); },
    column: (list, prop) => listOf(list).map(reader(prop)),
    read: (list, index, prop) => reader(prop)(element(list, index)),
    setValue: (list, index, value) => {
      const e = element(list, index);
      if (!('value' in e)) throw new Error('element has no value');
      e.value = value;
    },
    setSelectedIndex: (list, index, i) => {
      const e = element(list, index);
      if (!(isA(e, 'HTMLSelectElement'))) throw new Error('not a select element');
      e.selectedIndex = i;
    },
    options: (list, index) => {
      const e = element(list, index);
      if (!(isA(e, 'HTMLSelectElement'))) throw new Error('not a select element');
      return register(Array.from(e.options));
    },
    // A canvas's picture: ['png', base64] of its own pixels, ['blank'] while every pixel is
    // transparent, or ['box', x, y, width, height] (on the page, in CSS pixels) when the page
    // may not read it. The check for a blank canvas draws a small copy of it.
    canvasPicture: (list, index) => {
      const c = element(list, index);
      if (!(isA(c, 'HTMLCanvasElement'))) throw new Error('not a canvas');
      try {
        const probe = document.createElement('canvas');
        probe.width = probe.height = 16;
        const context = probe.getContext('2d');
        context.drawImage(c, 0, 0, 16, 16);
        const pixels = context.getImageData(0, 0, 16, 16).data;
        let blank = true;
        for (let i = 3; i < pixels.length && blank; i += 4) blank = pixels[i] === 0;
        if (blank) return ['blank'];
        const url = c.toDataURL('image/png');
        return ['png', url.slice(url.indexOf(',') + 1)];
      } catch (e) {
        if (!e || e.name !== 'SecurityError') throw e;
        const r = c.getBoundingClientRect();
        return ['box', r.left + scrollX, r.top + scrollY, r.width, r.height];
      }
    },
    click: (list, index) => {
      const e = element(list, index);
      if (typeof e.click !== 'function') throw new Error('element cannot be clicked');
      e.click();
    },
    // Brings the element into view; answers its centre in viewport pixels when a click there
    // reaches it, null when another element covers that point or it takes no room.
    centre: (list, index) => {
      const e = element(list, index);
      if (typeof e.scrollIntoView === 'function') e.scrollIntoView({ block: 'center', inline: 'center' });
      const r = e.getBoundingClientRect();
      if (r.width < 1 || r.height < 1) return null;
      const x = r.left + r.width / 2;
      const y = r.top + r.height / 2;
      if (x < 0 || y < 0 || x >= innerWidth || y >= innerHeight) return null;
      const hit = document.elementFromPoint(x, y);
      return hit && (hit === e || e.contains(hit)) ? [x, y] : null;
    },
    // The events of a person's click, dispatched to the element itself.
    pressAndRelease: (list, index) => {
      const e = element(list, index);
      const r = e.getBoundingClientRect();
      const at = { bubbles: true, cancelable: true, composed: true, view: window, button: 0,
                   clientX: clampPixel(r.left + r.width / 2), clientY: clampPixel(r.top + r.height / 2) };
      const pointer = { ...at, pointerId: 1, pointerType: 'mouse', isPrimary: true };
      e.dispatchEvent(new PointerEvent('pointerdown', { ...pointer, buttons: 1 }));
      e.dispatchEvent(new MouseEvent('mousedown', { ...at, buttons: 1, detail: 1 }));
      e.dispatchEvent(new PointerEvent('pointerup', pointer));
      e.dispatchEvent(new MouseEvent('mouseup', { ...at, detail: 1 }));
      e.dispatchEvent(new MouseEvent('click', { ...at, detail: 1 }));
    },
    // The element (up 0) or the element that wraps only it (up 1); null when there is none.
    clickArea: (list, index, up) => {
      const e = element(list, index);
      return up === 0 ? e : wrapperOf(e);
    },
    // Scrolls the page down to its end in steps a little shorter than what is in view, one
    // step per 40 ms, so every part of it is on screen for a few frames: scroll handlers and
    // intersection observers of lazy images see it, and a list that keeps only the images in
    // view (removing those scrolled past) shows each of them once. Every image address shown
    // on the way is kept in reading order (see seenImages). At the end the scroll waits until
    // the page has added nothing for a while; a page that keeps growing, or that cannot be
    // scrolled on, ends the scroll short of it. Returns at once; runs once per world.
    scrollThrough: () => {
      if (strip) return;
      strip = { seen: [], ended: false, reachedEnd: false };
      const look = () => mergeSeen(strip.seen, shownImages());
      const watch = new MutationObserver(look);
      watch.observe(document, { subtree: true, childList: true, attributes: true,
                                attributeFilter: ['src', 'srcset', 'data-src', 'data-srcset',
                                                  'data-lazy-src', 'data-original'] });
      const end = (reachedEnd) => {
        look();
        watch.disconnect();
        strip.ended = true;
        strip.reachedEnd = reachedEnd;
      };
      let steps = 0, least = Infinity, farther = 0, quiet = 0, grew = 0, height = -1, count = -1;
      const step = () => {
        look();
        const s = scroller();
        const top = s.top();
        if (++steps > 3000) return end(false);
        const left = s.height() - s.view() - top;
        if (left > 1) {
          // A page that comes no closer to its end for fifty steps (it holds the scroll back,
          // or grows below as fast as it is scrolled) would be read short: the scroll ends.
          if (left < least - 1) {
            least = left;
            farther = 0;
          } else if (++farther > 50) {
            return end(false);
          }
          s.to(top + Math.max(200, Math.floor(s.view() * 0.8)));
          setTimeout(step, 40);
          return;
        }
        // At the end: a reader may add its next pages here. Only a quiet end is the end; a
        // page that has grown at its end forty times is taken as one that never ends.
        if (s.height() !== height || strip.seen.length !== count) {
          if (height >= 0 && ++grew > 40) return end(false);
          least = Infinity; // what was added is scrolled through afresh
          height = s.height();
          count = strip.seen.length;
          quiet = 0;
        } else if (++quiet >= 4) {
          return end(true);
        }
        setTimeout(step, 150);
      };
      step();
    },
    // What scrollThrough has seen: {sources, ended, reachedEnd}; null before it started.
    seenImages: () => {
      if (!strip) return null;
      mergeSeen(strip.seen, shownImages());
      return { sources: strip.seen.slice(), ended: strip.ended, reachedEnd: strip.reachedEnd };
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
